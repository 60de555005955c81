#include "clock/Settings.h"

#include "clock/Exceptions.h"
#include "clock/FilePaths.h"
#include "clock/platform/FileSystem.h"
#include "clock/platform/ProfileFiles.h"

std::string ReadSetting(const std::string& section, const std::string& key,
                        const std::string& defaultValue) {
  return platform::ProfileFiles().ReadString(SettingsFilePath(), section, key, defaultValue);
}

void WriteSetting(const std::string& section, const std::string& key, const std::string& value) {
  const std::string path = SettingsFilePath();
  if (!platform::ProfileFiles().WriteString(path, section, key, value))
    throw Exception(path + " に書き込めません");
}

namespace {
std::string Shift(std::string_view text, unsigned char by) {
  std::string shifted(text);
  for (char& c : shifted)
    c = static_cast<char>(static_cast<unsigned char>(c) + by);
  return shifted;
}
} // namespace

std::string ScramblePassword(std::string_view password) {
  return Shift(password, 63);
}

std::string UnscramblePassword(std::string_view stored) {
  return Shift(stored, 256 - 63);
}

bool IsStorableProfileValue(const std::string& value) {
  if (value.find_first_of(std::string_view("\0\r\n", 3)) != std::string::npos)
    return false;
  if (!value.empty()) {
    // The reading trims these at both ends (0x1A too, as the end of a file).
    constexpr std::string_view trimmed = " \t\v\f\x1A";
    const char first = value.front();
    const char last = value.back();
    if (trimmed.find(first) != std::string_view::npos ||
        trimmed.find(last) != std::string_view::npos)
      return false;
    if (value.size() >= 2 && first == last && (first == '"' || first == '\''))
      return false;
  }
  return platform::ProfileFiles().CodePageRoundTrips(value);
}

const char PasswordNotStorableMessage[] = "パスワードに保存できない文字が含まれています";

void CheckPasswordStorable(std::string_view password) {
  if (!IsStorableProfileValue(ScramblePassword(password)))
    throw Exception(PasswordNotStorableMessage);
}

std::vector<std::string> ParseSiteList(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

std::vector<std::string> ReadSiteList() {
  const std::string path = ServerListFilePath();
  std::string contents;
  if (!platform::FileSystem().ReadWholeFile(path, contents))
    throw Exception("ファイル " + path + " は開けません");
  return ParseSiteList(contents);
}

uint32_t UtcMillisecondsOfDay(const CalendarTime& local, const platform::ZoneInformation& zone) {
  int64_t bias = zone.Bias;
  if (zone.ResultCode == 1)
    bias += zone.StandardBias;
  else if (zone.ResultCode == 2)
    bias += zone.DaylightBias;
  constexpr int64_t day = 86400000;
  const int64_t localMs =
      ((int64_t{local.Hour} * 60 + local.Minute) * 60 + local.Second) * 1000 + local.Millisecond;
  // UTC = local + bias, folded back into one day.
  return static_cast<uint32_t>(((localMs + bias * 60000) % day + day) % day);
}

uint32_t TRandom::Random(uint32_t n) {
  Seed = Seed * 134775813u + 1u;
  return static_cast<uint32_t>((uint64_t{Seed} * n) >> 32);
}
