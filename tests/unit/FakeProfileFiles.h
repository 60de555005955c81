// Profile files in memory, kept as the text the system would write: CR LF
// lines, section and key names matched without case, a key's line replaced
// in place keeping its stored name, a new key after the last line of its
// section, a new section at the end of the file (no blank line before it).
// Reading trims blanks and control spaces, strips matching quotes, and reads at most
// 2047 bytes, as the system does. Header only, so that the Windows runner
// can compare it with the real functions.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "clock/TextCp932.h"
#include "clock/platform/ProfileFiles.h"
#include "tests/unit/FakeInstalled.h"

class FakeProfileFiles : public TFakeInstalled<platform::TProfileFiles> {
public:
  std::string ReadString(const std::string& file, const std::string& section,
                         const std::string& key, const std::string& defaultValue) override {
    auto found = Files.find(file);
    if (found == Files.end())
      return defaultValue;
    const std::vector<std::string> lines = Lines(found->second);
    const size_t at = FindKey(lines, section, key);
    if (at == lines.size())
      return defaultValue;
    std::string value = Trim(lines[at].substr(lines[at].find('=') + 1));
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == '"' || value.front() == '\''))
      value = value.substr(1, value.size() - 2);
    return value.substr(0, 2047);
  }

  bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                   const std::string& value) override {
    if (Unwritable.count(file))
      return false;
    std::vector<std::string> lines = Lines(Files[file]);
    const size_t at = FindKey(lines, section, key);
    if (at != lines.size()) {
      lines[at] = Trim(lines[at].substr(0, lines[at].find('='))) + "=" + value;
    } else {
      size_t end = SectionEnd(lines, section);
      if (end == lines.size() && FindSection(lines, section) == lines.size()) {
        lines.push_back("[" + section + "]");
        end = lines.size();
      }
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(end), key + "=" + value);
    }
    std::string text;
    for (const std::string& line : lines)
      text += line + "\r\n";
    Files[file] = text;
    return true;
  }

  // Structure only: every lead byte has a trail byte. The real code page
  // also refuses unassigned double-byte codes.
  bool CodePageRoundTrips(const std::string& text) override { return IsWellFormedCp932(text); }

  std::map<std::string, std::string> Files;
  std::set<std::string> Unwritable;

private:
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find("\r\n", start);
      if (end == std::string::npos)
        end = text.size();
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }

  static std::string Trim(const std::string& text) {
    const char* const blanks = " \t\v\f\x1A";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
      return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
  }

  static bool IsSection(const std::string& line) { return !line.empty() && line[0] == '['; }

  // The line of the section's header; lines.size() when there is none.
  static size_t FindSection(const std::vector<std::string>& lines, const std::string& section) {
    for (size_t i = 0; i < lines.size(); ++i) {
      if (IsSection(lines[i]) && SameTextIgnoringCase(lines[i], "[" + section + "]"))
        return i;
    }
    return lines.size();
  }

  // Just after the section's last line that is not empty.
  static size_t SectionEnd(const std::vector<std::string>& lines, const std::string& section) {
    size_t i = FindSection(lines, section);
    if (i == lines.size())
      return i;
    size_t end = ++i;
    for (; i < lines.size() && !IsSection(lines[i]); ++i) {
      if (!lines[i].empty())
        end = i + 1;
    }
    return end;
  }

  static size_t FindKey(const std::vector<std::string>& lines, const std::string& section,
                        const std::string& key) {
    size_t i = FindSection(lines, section);
    if (i == lines.size())
      return i;
    for (++i; i < lines.size() && !IsSection(lines[i]); ++i) {
      const size_t equals = lines[i].find('=');
      if (equals != std::string::npos &&
          SameTextIgnoringCase(Trim(lines[i].substr(0, equals)), key))
        return i;
    }
    return lines.size();
  }
};
