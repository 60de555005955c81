#include <windows.h>

#include "clock/platform/FileSystem.h"
#include "clock/platform/Handles_win.h"

namespace platform {
namespace {

class TWin32FileSystem : public TFileSystem {
public:
  bool ReadWholeFile(const std::string& path, std::string& contents) override {
    HANDLE opened = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
      return false;
    TKernelHandle file(opened);
    contents.clear();
    char buffer[4096];
    DWORD read = 0;
    for (;;) {
      if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr))
        return false;
      if (read == 0)
        return true;
      contents.append(buffer, read);
    }
  }

  std::string ExecutablePath() override {
    // Grow until the whole path fits: a full buffer may hold a cut one.
    std::string path(MAX_PATH, '\0');
    for (;;) {
      const DWORD length = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
      if (length < path.size()) {
        path.resize(length);
        return path;
      }
      path.resize(path.size() * 2);
    }
  }

  std::string CurrentDirectory() override {
    const DWORD size = GetCurrentDirectoryA(0, nullptr);
    std::string directory(size, '\0');
    const DWORD length = GetCurrentDirectoryA(size, &directory[0]);
    directory.resize(length < size ? length : 0);
    return directory;
  }
};

} // namespace

template <> TFileSystem* TSeam<TFileSystem>::Platform() {
  static TWin32FileSystem files;
  return &files;
}

} // namespace platform
