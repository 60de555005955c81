#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "clock/TrayIcon.h"
#include "tests/unit/FakeTrayShell.h"

namespace {

platform::WindowHandle const kWindow = reinterpret_cast<platform::WindowHandle>(0x1234);

std::string Repeat(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i)
    repeated += text;
  return repeated;
}

TEST(PlatformTray, AddFillsTheWholeRecordOnce) {
  FakeTrayShell shell;
  TTrayIcon tray;
  tray.Add(kWindow, "ICON1", "Velmora Ver1.32");
  tray.Add(kWindow, "ICON2", "again");
  ASSERT_EQ(shell.Requests.size(), 2u);
  const platform::TTrayRecord& sent = shell.Requests[0].Record;
  EXPECT_EQ(shell.Requests[0].Command, platform::TTrayCommand::Add);
  EXPECT_TRUE(shell.Requests[0].Accepted);
  EXPECT_EQ(sent.Window, kWindow);
  EXPECT_EQ(sent.Id, 1u);
  EXPECT_EQ(sent.Flags, 7u);
  EXPECT_EQ(sent.CallbackMessage, 1124u);
  EXPECT_EQ(shell.IconName(sent.Icon), "ICON1");
  EXPECT_STREQ(sent.Tip, "Velmora Ver1.32");
  EXPECT_FALSE(shell.Requests[1].Accepted) << "a second add of the same icon";
  EXPECT_EQ(shell.Icons.size(), 1u);
}

TEST(PlatformTray, ModifyAndRemoveReuseTheKeptRecord) {
  FakeTrayShell shell;
  TTrayIcon tray;
  tray.Modify("NET", "x");
  EXPECT_FALSE(shell.Requests.back().Accepted) << "modify before any add";
  EXPECT_EQ(shell.Requests.back().Record.Window, nullptr);

  tray.Add(kWindow, "ICON1", "Velmora Ver1.32");
  tray.Modify("NET", "12.5秒の誤差");
  EXPECT_TRUE(shell.Requests.back().Accepted);
  EXPECT_EQ(shell.IconName(shell.Requests.back().Record.Icon), "NET");
  EXPECT_STREQ(shell.Requests.back().Record.Tip, "12.5秒の誤差");
  EXPECT_EQ(shell.Requests.back().Record.Flags, 7u);

  tray.Remove(kWindow);
  EXPECT_TRUE(shell.Requests.back().Accepted);
  EXPECT_EQ(shell.Requests.back().Command, platform::TTrayCommand::Delete);
  tray.Remove(kWindow);
  EXPECT_FALSE(shell.Requests.back().Accepted) << "remove without an icon";
  tray.Modify("ICON2", "y");
  EXPECT_FALSE(shell.Requests.back().Accepted);
  EXPECT_EQ(shell.Requests.back().Record.CallbackMessage, 1124u) << "kept from the last add";
}

TEST(PlatformTray, TipIsCutAtACharacterBoundary) {
  const std::string kanji = "秒"; // two bytes
  struct Case {
    std::string text, tip;
  } cases[] = {
      {"", ""},
      {std::string(63, 'a'), std::string(63, 'a')},
      {std::string(64, 'a'), std::string(63, 'a')},
      {std::string(62, 'a') + kanji, std::string(62, 'a')},
      {std::string(61, 'a') + kanji + "b", std::string(61, 'a') + kanji},
      {"a" + Repeat(kanji, 40), "a" + Repeat(kanji, 31)},
  };
  for (const Case& c : cases) {
    char field[64];
    std::memset(field, 'z', sizeof field);
    CopyTrayTip(c.text, field);
    EXPECT_EQ(std::string(field), c.tip) << c.text.size();
    for (size_t i = c.tip.size(); i < sizeof field; ++i)
      EXPECT_EQ(field[i], '\0') << "byte " << i;
  }
}

} // namespace
