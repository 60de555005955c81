// The one registry read the program makes: a text value under
// HKEY_CURRENT_USER.
#pragma once

#include <string>

#include "clock/platform/Seam.h"

namespace platform {

struct TRegistryText {
  enum TStatus {
    KeyUnavailable, // the key could neither be opened nor created
    Missing,        // no such value
    Found,          // a string or expandable string, up to its first zero byte
    OtherType,      // a value of another type
  };
  TStatus Status = KeyUnavailable;
  std::string Text;
};

class TRegistry {
public:
  virtual ~TRegistry() = default;
  // Opens keyPath under HKEY_CURRENT_USER with full access (creating it when
  // missing), reads valueName and closes the key again.
  virtual TRegistryText ReadCurrentUserText(const std::string& keyPath,
                                            const std::string& valueName) = 0;
};

template <> TRegistry* TSeam<TRegistry>::Platform();
inline TRegistry& Registry() {
  return TSeam<TRegistry>::Get();
}

} // namespace platform
