#include "clock/FilePaths.h"

#include "clock/TextCp932.h"
#include "clock/platform/FileSystem.h"

namespace {

// Where the file name starts: after the last backslash or drive colon.
size_t FileNameStart(std::string_view path) {
  size_t start = 0;
  for (size_t pos = 0; pos < path.size(); pos += CharLength(path, pos)) {
    if (path[pos] == '\\' || path[pos] == ':')
      start = pos + 1;
  }
  return start;
}

} // namespace

std::string ExtractFileDir(std::string_view path) {
  size_t end = FileNameStart(path);
  if (end == 0)
    return std::string();
  // A root ("C:\", "\") keeps its separator; a colon is never a trail byte.
  if (end > 1 && path[end - 1] == '\\' && path[end - 2] != ':')
    --end;
  return std::string(path.substr(0, end));
}

std::string ExtractFileBaseName(std::string_view path) {
  const std::string_view name = path.substr(FileNameStart(path));
  size_t dot = std::string_view::npos;
  for (size_t pos = 0; pos < name.size(); pos += CharLength(name, pos)) {
    if (name[pos] == '.')
      dot = pos;
  }
  return std::string(name.substr(0, dot));
}

std::string ProgramFolder() {
  return ExtractFileDir(platform::FileSystem().ExecutablePath());
}

// Joined literally, also after a drive root ("C:\\Set.ini"), which the
// system accepts.
std::string SettingsFilePath() {
  return ProgramFolder() + "\\Set.ini";
}

std::string ServerListFilePath() {
  return ProgramFolder() + "\\ServerList.txt";
}
