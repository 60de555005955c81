// The main window headless, with fakes for the system that write one log
// of what the window does, in order: status texts, Timer3 switched on and
// off, pauses, clock settings, tray requests, messages and error reports.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clock/HTTPDem.h"
#include "tests/unit/FakeFileSystem.h"
#include "tests/unit/FakeNamedMutexes.h"
#include "tests/unit/FakeShell.h"
#include "tests/unit/FakeSystemClock.h"
#include "tests/unit/FakeSystemInfo.h"
#include "tests/unit/FakeTrayShell.h"
#include "tests/unit/FakeWindowMessages.h"

namespace form1test {

using TLog = std::vector<std::string>;

class TLoggingClock : public FakeSystemClock {
public:
  explicit TLoggingClock(TLog& log) : log_(log) {}
  bool SetLocalTime(const CalendarTime& time, uint32_t& error) override {
    char text[40];
    std::snprintf(text, sizeof text, "set %04d-%02d-%02d %02d:%02d:%02d.%03d", time.Year,
                  time.Month, time.Day, time.Hour, time.Minute, time.Second, time.Millisecond);
    log_.push_back(text);
    return FakeSystemClock::SetLocalTime(time, error);
  }

private:
  TLog& log_;
};

class TLoggingSystemInfo : public FakeSystemInfo {
public:
  explicit TLoggingSystemInfo(TLog& log) : log_(log) {}
  void Sleep(uint32_t milliseconds) override {
    log_.push_back("sleep " + std::to_string(milliseconds));
    FakeSystemInfo::Sleep(milliseconds);
  }

private:
  TLog& log_;
};

class TLoggingTray : public FakeTrayShell {
public:
  explicit TLoggingTray(TLog& log) : log_(log) {}
  bool NotifyIcon(platform::TTrayCommand command, const platform::TTrayRecord& record) override {
    const bool accepted = FakeTrayShell::NotifyIcon(command, record);
    const char* names[] = {"Add", "Modify", "Delete"};
    std::string entry = std::string("tray ") + names[static_cast<int>(command)];
    if (command != platform::TTrayCommand::Delete)
      entry += " " + IconName(record.Icon);
    log_.push_back(entry);
    return accepted;
  }

private:
  TLog& log_;
};

// Reports a component's changes, as a window would see them.
class TWatch : public TPeer {
public:
  explicit TWatch(std::function<void(TChange)> changed) : changed_(std::move(changed)) {}
  void Changed(TChange what) override { changed_(what); }

private:
  std::function<void(TChange)> changed_;
};

// Every fake, the application and the window; one at a time, as the
// window guards against a second copy.
class TForm1Bench {
public:
  TForm1Bench() {
    application.SetTitle(kMainCaption);
    form.TrayTipText = kMainCaption;
    form.HttpVersion = "pv1_1";
    clock.Zone.Bias = -540;
    clock.Ticks = 1000;
    clock.TickStep = 300;
    clock.Local = {2026, 12, 7, 1, 14, 46, 40, 250};
    form.ComboBox1.SetItemIndex(0);
    backend.OnShow = [this](const THeadlessBackend::TShown& shown) {
      log.push_back((shown.Kind == THeadlessBackend::TKind::Message ? "message " : "error ") +
                    shown.Text);
    };
    form.StatusBar1.SetPeer(std::make_unique<TWatch>([this](TChange what) {
      if (what == TChange::Text)
        log.push_back("status " + form.StatusBar1.SimpleText());
    }));
    form.Timer3.SetPeer(std::make_unique<TWatch>([this](TChange what) {
      if (what == TChange::Timer)
        log.push_back(form.Timer3.Enabled() ? "Timer3 on" : "Timer3 off");
    }));
  }

  void UseSite(const std::string& site) {
    form.ComboBox3.SetItems({site});
    form.ComboBox3.SetItemIndex(0);
  }

  // The update as the user's click starts it: what it raises is reported.
  TLog Click() {
    log.clear();
    form.Button1.UserClick();
    return log;
  }

  TLog log;
  TLoggingClock clock{log};
  TLoggingSystemInfo system{log};
  TLoggingTray tray{log};
  FakeWindowMessages windows;
  FakeShell shell;
  FakeFileSystem files;
  FakeNamedMutexes mutexes;
  THeadlessBackend backend;
  TApplication application{backend};
  // Made directly, not through the application: these tests are about the
  // handlers, not about the start-up that FormCreate runs.
  TForm1 form;
};

class Form1Run : public ::testing::Test, public TForm1Bench {};

inline std::string Joined(const TLog& log) {
  std::string text;
  for (const std::string& entry : log)
    text += entry + "\n";
  return text;
}

} // namespace form1test
