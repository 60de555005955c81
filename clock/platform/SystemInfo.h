// Small questions to the operating system, and the pause.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "clock/platform/Seam.h"

namespace platform {

class TSystemInfo {
public:
  virtual ~TSystemInfo() = default;
  // The platform id of the version query (0 Win32s, 1 the 95 family, 2 NT);
  // nothing when the query fails.
  virtual std::optional<uint32_t> VersionPlatformId() = 0;
  // The first byte of the user's decimal separator.
  virtual char DecimalSeparator() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  // The system's own text for an error number, without its line end.
  virtual std::string ErrorText(uint32_t error) = 0;
};

template <> TSystemInfo* TSeam<TSystemInfo>::Platform();
inline TSystemInfo& SystemInfo() {
  return TSeam<TSystemInfo>::Get();
}

} // namespace platform
