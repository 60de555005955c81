// Files the program reads whole, and where the program itself lives.
#pragma once

#include <string>

#include "clock/platform/Seam.h"

namespace platform {

class TFileSystem {
public:
  virtual ~TFileSystem() = default;
  // The file's bytes; false when it is missing or cannot be read.
  virtual bool ReadWholeFile(const std::string& path, std::string& contents) = 0;
  // The full path of the running executable.
  virtual std::string ExecutablePath() = 0;
  // The process's current directory.
  virtual std::string CurrentDirectory() = 0;
};

template <> TFileSystem* TSeam<TFileSystem>::Platform();
inline TFileSystem& FileSystem() {
  return TSeam<TFileSystem>::Get();
}

} // namespace platform
