// The clock program in a folder of its own with one site, started by a
// scenario and closed after it: what the update scenarios share.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/UpdateHarness_win.h"

namespace e2e {

constexpr char kVelmoraCaption[] = "Velmora Ver1.32";

class TVelmoraScenario : public ::testing::Test {
protected:
  // The program in its folder with these files (nullptr: none) and started.
  void LaunchFiles(const char* serverList, const char* setIni, const std::string& arguments = "") {
    if (serverList)
      WriteBytes(folder_.File("ServerList.txt"), serverList);
    if (setIni)
      WriteBytes(folder_.File("Set.ini"), setIni);
    program_ = CopyProgram("Velmora.exe", folder_);
    velmora_ = std::make_unique<TProcess>("\"" + program_ + "\"" + arguments, folder_.Path());
    id_ = velmora_->Id();
  }
  // One site, and the given lines of section Set.
  void Launch(const std::string& site, const std::string& setLines,
              const std::string& arguments = "") {
    LaunchFiles((site + "\r\n").c_str(), ("[Set]\r\n" + setLines).c_str(), arguments);
  }
  void Start(const std::string& site, const std::string& setLines) {
    Launch(site, setLines);
    WaitForForm();
  }
  // The main window, shown at the end of its creation.
  void WaitForForm() {
    form_ = WaitForWindow(id_, "TForm1", 30000);
    ASSERT_NE(form_, nullptr) << "no TForm1 window; " << OpenBox();
    WaitVisible();
  }
  // With Wine's debug channels on and its standard error kept in Log().
  void StartLogged(const std::string& site, const std::string& setLines,
                   const std::string& wineDebug) {
    WriteFixtures(folder_, site, setLines);
    program_ = CopyProgram("Velmora.exe", folder_);
    velmora_ = std::make_unique<TLoggedProcess>(program_, "", folder_.Path(), Log(), wineDebug);
    id_ = velmora_->Id();
    WaitForForm();
  }
  // What an error report of the program says, when one is open.
  std::string OpenBox() {
    HWND box = WaitForWindow(id_, "#32770", 0);
    return box ? "error report: " + MessageBoxText(box) : "no error report";
  }
  void WaitVisible() {
    for (int i = 0; i < 100 && !IsWindowVisible(form_); ++i)
      Sleep(100);
    ASSERT_TRUE(IsWindowVisible(form_));
  }
  void ClickUpdate() {
    HWND button = FindChild(form_, "TButton", "時刻更新(&K)");
    ASSERT_NE(button, nullptr);
    WaitForTheSecond();
    PostMessageA(button, BM_CLICK, 0, 0);
  }
  bool WaitStatus(const std::string& text, DWORD milliseconds = 20000) {
    return WaitForStatus(form_, id_, text, milliseconds);
  }
  // The information message appears and Timer3 clicks it away by itself.
  void ExpectMessageClosedByTimer3() {
    HWND message = WaitForShownWindow(id_, "TMessageForm", kVelmoraCaption, 3000);
    ASSERT_NE(message, nullptr) << "no information message";
    EXPECT_TRUE(WaitGone(message, 5000)) << "the message stayed open";
  }
  // The text of the error report that appears within the time, which is
  // then closed as the user would; empty when none appears.
  std::string TakeErrorReport(DWORD milliseconds) {
    HWND box = WaitForShownWindow(id_, "#32770", kVelmoraCaption, milliseconds);
    if (!box)
      return std::string();
    const std::string text = MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitGone(box, 5000));
    return text;
  }
  std::string Log() const { return folder_.File("stderr.txt"); }

  void TearDown() override {
    if (form_ && IsWindow(form_))
      PostMessageA(form_, WM_CLOSE, 0, 0);
    if (velmora_) {
      EXPECT_TRUE(velmora_->WaitForExit(10000));
    }
  }

  TTempFolder folder_;
  std::string program_;
  std::unique_ptr<TProcess> velmora_;
  DWORD id_ = 0;
  HWND form_ = nullptr;
};

} // namespace e2e
