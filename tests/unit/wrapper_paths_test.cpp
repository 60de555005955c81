#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "wrapper/Paths.h"
#include "wrapper/Settings.h"

namespace {

using namespace kestrun;

// "\x95\x5C" is one Shift-JIS character whose trail byte is the backslash code.
struct TPathCase {
  const char* Path;
  const char* Expected;
};

TEST(WrapperPaths, SjisLeadBytesAreTheTwoRanges) {
  for (int byte : {0x81, 0x9F, 0xE0, 0xFC})
    EXPECT_TRUE(IsSjisLeadByte(static_cast<unsigned char>(byte))) << byte;
  for (int byte : {0x00, 0x5C, 0x80, 0xA0, 0xDF, 0xFD, 0xFF})
    EXPECT_FALSE(IsSjisLeadByte(static_cast<unsigned char>(byte))) << byte;
}

TEST(WrapperPaths, StripLastPathComponent) {
  const TPathCase cases[] = {
      {"C:\\tools\\server.exe", "C:\\tools"},
      {"C:\\server.exe", "C:"},
      {"C:\\", "C:"},
      {"server.exe", "server.exe"},
      {"C:/tools/server.exe", "C:/tools/server.exe"},
      {"C:\\\x95\x5C\\a.exe", "C:\\\x95\x5C"},
      {"C:\\dir\\\x95\x5C", "C:\\dir"},
      {"C:\\dir\\\x95\x5C\x95\x5C.exe", "C:\\dir"},
      {"C:\\dir\\\x81", "C:\\dir"},
      {"", ""},
  };
  for (const TPathCase& c : cases) {
    char path[PathBufferSize];
    std::strcpy(path, c.Path);
    StripLastPathComponent(path);
    EXPECT_STREQ(path, c.Expected) << "input: " << c.Path;
  }
}

TEST(WrapperPaths, BaseNameWithoutExtension) {
  const TPathCase cases[] = {
      {"C:\\tools\\my.server.exe", "my"},
      {"C:\\a.d\\b", "b"},
      {"server", "server"},
      {"C:name.exe", "name"},
      {"C:\\tools\\", ""},
      {"C:\\\x95\x5C.exe", "\x95\x5C"},
      {"C:\\dir\\\x95\x5C"
       "abc.exe",
       "\x95\x5C"
       "abc"},
      {".hidden", ""},
  };
  for (const TPathCase& c : cases) {
    char out[PathBufferSize];
    std::memset(out, 'x', sizeof out);
    BaseNameWithoutExtension(out, c.Path);
    EXPECT_STREQ(out, c.Expected) << "input: " << c.Path;
  }
}

TEST(WrapperPaths, ExtensionOfPointsIntoTheText) {
  const TPathCase cases[] = {
      {"C:\\a\\b.EXE", "EXE"},
      {"C:\\a.d\\b", ""},
      {"exe", "exe"},
      {"C:\\a\\b.tar.gz", "gz"},
      {"C:\\a\\b.", ""},
      {".exe", ".exe"},
      {"a/b", ""},
      {"C:", ""},
      {"C:\\", ""},
  };
  for (const TPathCase& c : cases) {
    const char* extension = ExtensionOf(c.Path);
    EXPECT_STREQ(extension, c.Expected) << "input: " << c.Path;
    EXPECT_EQ(extension, c.Path + std::strlen(c.Path) - std::strlen(c.Expected))
        << "not inside the text: " << c.Path;
  }
}

// A buffer with guard bytes on both sides, to see that nothing is written past it.
struct TGuardedBuffer {
  static constexpr std::size_t Guard = 16;
  char Bytes[Guard + PathBufferSize + Guard];
  TGuardedBuffer() { std::memset(Bytes, '#', sizeof Bytes); }
  char* Text() { return Bytes + Guard; }
  bool GuardsIntact() const {
    for (std::size_t i = 0; i < Guard; ++i)
      if (Bytes[i] != '#' || Bytes[Guard + PathBufferSize + i] != '#')
        return false;
    return true;
  }
};

struct TCommandCase {
  const char* Program;
  const char* Options;
  const char* Expected;
};

TEST(WrapperCompose, CommandLineQuotesProgramPathWithBlanks) {
  const TCommandCase cases[] = {
      {"C:\\tools\\server.exe", "", "C:\\tools\\server.exe "},
      {"C:\\tools\\server.exe", "-p 80", "C:\\tools\\server.exe -p 80"},
      {"C:\\Program Files\\x.exe", "-a b", "\"C:\\Program Files\\x.exe\" -a b"},
      {"C:\\tab\there\\x.exe", "", "\"C:\\tab\there\\x.exe\" "},
      {"\"C:\\Program Files\\x.exe\"", "", "\"C:\\Program Files\\x.exe\" "},
  };
  for (const TCommandCase& c : cases) {
    TGuardedBuffer out;
    ASSERT_EQ(ComposeCommandLine(out.Text(), PathBufferSize, c.Program, c.Options), 1) << c.Program;
    EXPECT_STREQ(out.Text(), c.Expected);
  }
}

TEST(WrapperCompose, ImagePathQuotedOnlyWhenItHasBlanks) {
  const TPathCase cases[] = {
      {"C:\\svc\\kestrun.exe", "C:\\svc\\kestrun.exe"},
      {"C:\\my svc\\kestrun.exe", "\"C:\\my svc\\kestrun.exe\""},
      {"\"C:\\my svc\\kestrun.exe\"", "\"C:\\my svc\\kestrun.exe\""},
  };
  for (const TPathCase& c : cases) {
    TGuardedBuffer out;
    ASSERT_EQ(ComposeQuotedPath(out.Text(), PathBufferSize, c.Path), 1) << c.Path;
    EXPECT_STREQ(out.Text(), c.Expected);
  }
}

TEST(WrapperCompose, WorkingDirectoryIsTheProgramFolderWithoutQuotes) {
  const TPathCase cases[] = {
      {"C:\\my tools\\server.exe", "C:\\my tools"},
      {"\"C:\\my tools\\server.exe\"", "C:\\my tools"},
      {"C:\\server.exe", "C:"},
      {"C:\\\x95\x5C\\server.exe", "C:\\\x95\x5C"},
  };
  for (const TPathCase& c : cases) {
    TGuardedBuffer out;
    ASSERT_EQ(ComposeWorkingDirectory(out.Text(), PathBufferSize, c.Path), 1) << c.Path;
    EXPECT_STREQ(out.Text(), c.Expected);
  }
}

TEST(WrapperCompose, FixedTexts) {
  TGuardedBuffer out;
  ASSERT_EQ(ComposeMutexName(out.Text(), PathBufferSize, "web"), 1);
  EXPECT_STREQ(out.Text(), "$$kestrun$$web$$");
  ASSERT_EQ(ComposeIniPath(out.Text(), PathBufferSize, "C:\\svc"), 1);
  EXPECT_STREQ(out.Text(), "C:\\svc\\kestrun.ini");
}

// Each composition at the longest input that fits (259 characters out) and
// one byte more: refused with an empty text, nothing written past the buffer.
TEST(WrapperCompose, RefusesWhatDoesNotFitItsBuffer) {
  struct TBoundCase {
    const char* What;
    std::size_t LongestFitting;
    int (*Compose)(char* out, const std::string& input);
  };
  const TBoundCase cases[] = {
      {"ini path", 259 - 12,
       [](char* out, const std::string& in) {
         return ComposeIniPath(out, PathBufferSize, in.c_str());
       }},
      {"mutex name", 259 - 13,
       [](char* out, const std::string& in) {
         return ComposeMutexName(out, PathBufferSize, in.c_str());
       }},
      {"options after a 19-byte program path", 259 - 20,
       [](char* out, const std::string& in) {
         return ComposeCommandLine(out, PathBufferSize, "C:\\tools\\server.exe", in.c_str());
       }},
      {"program path with a blank, quoted", 259 - 10,
       [](char* out, const std::string& in) {
         return ComposeCommandLine(out, PathBufferSize, ("C:\\a b\\" + in).c_str(), "");
       }},
  };
  for (const TBoundCase& c : cases) {
    std::string input(c.LongestFitting, 'a');
    TGuardedBuffer fits;
    EXPECT_EQ(c.Compose(fits.Text(), input), 1) << c.What;
    EXPECT_EQ(std::strlen(fits.Text()), 259u) << c.What;
    EXPECT_TRUE(fits.GuardsIntact()) << c.What;

    TGuardedBuffer refused;
    EXPECT_EQ(c.Compose(refused.Text(), input + "a"), 0) << c.What;
    EXPECT_STREQ(refused.Text(), "") << c.What;
    EXPECT_TRUE(refused.GuardsIntact()) << c.What;
  }
}

TEST(WrapperCompose, CommandLineOfTwoFullFieldsIsRefused) {
  std::string program = "C:\\" + std::string(251, 'p') + ".exe";
  std::string options(259, 'o');
  TGuardedBuffer out;
  EXPECT_EQ(ComposeCommandLine(out.Text(), PathBufferSize, program.c_str(), options.c_str()), 0);
  EXPECT_STREQ(out.Text(), "");
  EXPECT_TRUE(out.GuardsIntact());
}

} // namespace
