#include <gtest/gtest.h>

#include <string>

#include "tests/unit/FakeProfileFiles.h"

namespace {

const char kFile[] = "C:\\Velmora\\Set.ini";

// The file texts the system writes (checked against the real functions by
// the Windows runner, which replays the same writes).
TEST(PlatformProfileFake, RendersFilesAsTheSystemWritesThem) {
  FakeProfileFiles profiles;
  profiles.WriteString(kFile, "Set", "WebSite", "1");
  EXPECT_EQ(profiles.Files[kFile], "[Set]\r\nWebSite=1\r\n");
  profiles.WriteString(kFile, "Set", "Proxy", "On");
  profiles.WriteString(kFile, "Position", "Top", "5");
  EXPECT_EQ(profiles.Files[kFile], "[Set]\r\nWebSite=1\r\nProxy=On\r\n[Position]\r\nTop=5\r\n");
  profiles.WriteString(kFile, "SET", "webSITE", "22");
  profiles.WriteString(kFile, "set", "Wait", "Off");
  profiles.WriteString(kFile, "Position", "Left", "7");
  EXPECT_EQ(profiles.Files[kFile], "[Set]\r\nWebSite=22\r\nProxy=On\r\nWait=Off\r\n"
                                   "[Position]\r\nTop=5\r\nLeft=7\r\n");
}

TEST(PlatformProfileFake, ReadsAsTheSystemReads) {
  FakeProfileFiles profiles;
  EXPECT_EQ(profiles.ReadString(kFile, "Set", "Proxy", "dflt"), "dflt");
  profiles.Files[kFile] = "[Set]\r\nProxy =  On \r\nName=\"a b\"\r\nPass='x\"\r\n"
                          "Long=" +
                          std::string(3000, 'x') + "\r\n[Position]\r\nTop=1\r\n";
  struct Case {
    const char *section, *key, *expected;
  } cases[] = {
      {"set", "PROXY", "On"}, {"Set", "Name", "a b"},   {"Set", "Pass", "'x\""},
      {"Set", "Top", "dflt"}, {"Position", "top", "1"}, {"Missing", "Top", "dflt"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(profiles.ReadString(kFile, c.section, c.key, "dflt"), c.expected) << c.key;
  EXPECT_EQ(profiles.ReadString(kFile, "Set", "Long", ""), std::string(2047, 'x'));
}

} // namespace
