// Windows profile (INI) files: every read and write opens the file afresh.
#pragma once

#include <string>

#include "clock/platform/Seam.h"

namespace platform {

class TProfileFiles {
public:
  virtual ~TProfileFiles() = default;
  // The value of key in section, names matched without case; defaultValue
  // when the file, section or key is missing. At most 2047 bytes are read.
  virtual std::string ReadString(const std::string& file, const std::string& section,
                                 const std::string& key, const std::string& defaultValue) = 0;
  // Replaces the key's line in place or appends it to its section, creating
  // file and section when missing; false when the system refuses the write.
  virtual bool WriteString(const std::string& file, const std::string& section,
                           const std::string& key, const std::string& value) = 0;
  // True when the system's ANSI code page turns these bytes into characters
  // and back unchanged; the profile functions convert every value so.
  virtual bool CodePageRoundTrips(const std::string& text) = 0;
};

template <> TProfileFiles* TSeam<TProfileFiles>::Platform();
inline TProfileFiles& ProfileFiles() {
  return TSeam<TProfileFiles>::Get();
}

} // namespace platform
