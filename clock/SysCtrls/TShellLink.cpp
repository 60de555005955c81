#include "clock/SysCtrls/TShellLink.h"

#include <utility>

#include "clock/FilePaths.h"
#include "clock/TextCp932.h"
#include "clock/platform/FileSystem.h"
#include "clock/platform/ShellLinks.h"

namespace {

// The shell's path buffers hold MAX_PATH characters with the terminator.
constexpr size_t MaxPath = 260;

std::uint16_t ShellHotKey(TShortCut shortCut) {
  std::uint16_t hotKey = shortCut & 0x1FFF;
  if (shortCut & 0x2000)
    hotKey += 0x100;
  if (shortCut & 0x4000)
    hotKey += 0x200;
  if (shortCut & 0x8000)
    hotKey += 0x400;
  return hotKey;
}

int ShowCommand(TLinkWindowState state) {
  switch (state) {
  case TLinkWindowState::Minimized:
    return 6;
  case TLinkWindowState::Maximized:
    return 3;
  case TLinkWindowState::Normal:
    break;
  }
  return 1;
}

// A drive path or a network path. Some shells answer a virtual folder with
// its parsing name ("::{...}") instead of failing.
bool IsFileSystemPath(std::string_view path) {
  const bool drive = path.size() >= 3 &&
                     ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && path[2] == '\\';
  return drive || path.substr(0, 2) == "\\\\";
}

// Each code page 932 character is one UTF-16 unit.
size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (size_t pos = 0; pos < text.size(); pos += CharLength(text, pos))
    ++count;
  return count;
}

} // namespace

TShellLink::TShellLink(std::function<platform::WindowHandle()> applicationWindow)
    : applicationWindow_(std::move(applicationWindow)) {}

void TShellLink::SetFileName(const std::string& value) {
  if (value == fileName_)
    return;
  fileName_ = value;
  if (Description.empty())
    Description = ExtractFileBaseName(value);
  if (WorkDir.empty())
    WorkDir = ExtractFileDir(value);
}

void TShellLink::CreateLink() {
  DefaultFileName();
  const std::string linkPath = LinkPath();
  platform::TShellLinkData link;
  link.Description = Description;
  link.Path = fileName_;
  link.WorkingDirectory = WorkDir;
  link.Arguments = Arguments;
  link.HotKey = ShellHotKey(HotKey);
  link.ShowCommand = ShowCommand(WindowState);
  link.IconPath = fileName_;
  link.IconIndex = IconIndex;
  if (!platform::ShellLinks().Save(link, linkPath))
    throw EShellLinkError("Error in QueryInterface");
}

void TShellLink::DeleteLink() {
  DefaultFileName();
  platform::ShellLinks().Delete(LinkPath());
}

void TShellLink::DefaultFileName() {
  if (fileName_.empty())
    SetFileName(platform::FileSystem().ExecutablePath());
}

// A path that does not fit the shell's buffers is refused, not cut: a cut
// path would name another folder or file.
std::string TShellLink::LinkPath() const {
  const platform::TSpecialFolder folder = platform::ShellLinks().SpecialFolder(
      applicationWindow_ ? applicationWindow_() : nullptr, LinkType);
  if (folder.Status == platform::TSpecialFolder::NoLocation)
    throw EShellLinkError("Error in GetSpecialFolderLocation");
  if (folder.Status == platform::TSpecialFolder::NoFileSystemPath || !IsFileSystemPath(folder.Path))
    throw EShellLinkError("Special folder has no file system path");
  // A folder that reaches the buffer's last place may have been cut there.
  if (folder.Path.size() >= MaxPath - 1)
    throw EShellLinkError("Special folder path too long");
  const std::string linkPath = folder.Path + "\\" + ExtractFileBaseName(fileName_) + ".lnk";
  if (CharacterCount(linkPath) >= MaxPath)
    throw EShellLinkError("Shortcut path too long");
  return linkPath;
}
