// Every system interface the main window reaches from its creation to its
// destruction, faked: the program lives in C:\Velmora with a site list of
// three entries and no Set.ini, the version query answers NT, and the clock
// stands at 12:34:56.789 in Japan's zone (03:34:56.789 UTC).
#pragma once

#include <string>

#include "tests/unit/FakeCommandLine.h"
#include "tests/unit/FakeDesktopWindows.h"
#include "tests/unit/FakeFileSystem.h"
#include "tests/unit/FakeNamedMutexes.h"
#include "tests/unit/FakeProfileFiles.h"
#include "tests/unit/FakeRegistry.h"
#include "tests/unit/FakeShell.h"
#include "tests/unit/FakeSystemClock.h"
#include "tests/unit/FakeSystemInfo.h"
#include "tests/unit/FakeTrayShell.h"
#include "tests/unit/FakeWindowMessages.h"

namespace form1test {

inline const std::string kSetIni = "C:\\Velmora\\Set.ini";
inline const std::string kServerList = "C:\\Velmora\\ServerList.txt";

struct TForm1Platform {
  TForm1Platform() {
    Files.Files[kServerList] = "a.example\r\nb.example\r\nc.example\r\n";
    Clock.Zone.Bias = -540;
    Clock.Local = {2026, 12, 10, 4, 12, 34, 56, 789};
  }

  FakeFileSystem Files;
  FakeProfileFiles Profiles;
  FakeCommandLine CommandLine;
  FakeSystemClock Clock;
  FakeSystemInfo System;
  FakeRegistry Registry;
  FakeNamedMutexes Mutexes;
  FakeDesktopWindows Desktop;
  FakeTrayShell Tray;
  FakeWindowMessages Windows;
  FakeShell Shell;
};

} // namespace form1test
