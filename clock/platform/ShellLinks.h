// Shell shortcut files: the special folders that hold them, and the shell's
// link object that writes them.
#pragma once

#include <cstdint>
#include <string>

#include "clock/platform/Seam.h"

namespace platform {

struct TSpecialFolder {
  enum TStatus {
    Found,            // Path holds the folder's file-system path
    NoLocation,       // the shell cannot name the folder
    NoFileSystemPath, // a virtual folder (printers, drives, ...)
  };
  TStatus Status = NoLocation;
  std::string Path;
};

// What a shortcut stores, in the shell's own encodings.
struct TShellLinkData {
  std::string Description;
  std::string Path;
  std::string WorkingDirectory;
  std::string Arguments;
  std::uint16_t HotKey = 0;
  int ShowCommand = 1;
  std::string IconPath;
  int IconIndex = 0;
};

class TShellLinks {
public:
  virtual ~TShellLinks() = default;
  // The special folder with that number; the owner window parents any UI
  // the shell shows. A path that filled the system's MAX_PATH buffer comes
  // back as the shell wrote it, without being cut any further.
  virtual TSpecialFolder SpecialFolder(WindowHandle owner, int folder) = 0;
  // Writes the shortcut file, replacing one of that name; false when the
  // shell has no link object with a persist-file interface. A failed write
  // is not reported.
  virtual bool Save(const TShellLinkData& link, const std::string& linkPath) = 0;
  // Deletes the file; a missing one is no error, and nothing is reported.
  virtual void Delete(const std::string& linkPath) = 0;
};

template <> TShellLinks* TSeam<TShellLinks>::Platform();
inline TShellLinks& ShellLinks() {
  return TSeam<TShellLinks>::Get();
}

} // namespace platform
