#include <windows.h>

#include <gtest/gtest.h>

#include "tests/e2e/Harness_win.h"

namespace {

// The runner and the program share Wine's settings: code page 932 and the
// Japan zone must be in force, or every Japanese text and time check lies.
TEST(Harness, RunsInJapaneseCodePageAndZone) {
  EXPECT_EQ(GetACP(), 932u);
  TIME_ZONE_INFORMATION zone = {};
  GetTimeZoneInformation(&zone);
  EXPECT_EQ(zone.Bias, -540);
}

TEST(VelmoraStart, OpensMainWindowAndEndsWhenClosed) {
  e2e::TTempFolder folder;
  std::string program = e2e::CopyProgram("Velmora.exe", folder);
  e2e::CopyProgram("ServerList.txt", folder);
  e2e::TProcess velmora("\"" + program + "\"", folder.Path());

  HWND form = e2e::WaitForWindow(velmora.Id(), "TForm1", 20000);
  ASSERT_NE(form, nullptr) << "no TForm1 window";
  EXPECT_EQ(e2e::WindowText(form), "Velmora Ver1.32");

  HWND application = e2e::WaitForWindow(velmora.Id(), "TApplication", 1000);
  ASSERT_NE(application, nullptr) << "no TApplication window";
  EXPECT_EQ(e2e::WindowText(application), "Velmora Ver1.32");

  PostMessageA(form, WM_CLOSE, 0, 0);
  ASSERT_TRUE(velmora.WaitForExit(10000)) << "Velmora did not end after WM_CLOSE";
  EXPECT_EQ(velmora.ExitCode(), 0u);
}

} // namespace
