#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "clock/SysCtrls/TSingleInstance.h"
#include "tests/unit/FakeDesktopWindows.h"
#include "tests/unit/FakeFileSystem.h"
#include "tests/unit/FakeNamedMutexes.h"

namespace {

platform::WindowHandle Handle(uintptr_t n) {
  return reinterpret_cast<platform::WindowHandle>(n);
}

class SingleInstance : public testing::Test {
protected:
  std::unique_ptr<TSingleInstance> Guard(TDupInstAction action) {
    TGuardedProgram program;
    program.ApplicationWindow = Handle(1);
    program.Terminate = [this] { ++terminateRequests; };
    auto guard = std::make_unique<TSingleInstance>(program);
    guard->DupInstAction = action;
    guard->UniqueName = "Ident1684";
    guard->OnDuplicate = [this](TSingleInstance&) { ++duplicateEvents; };
    return guard;
  }

  FakeNamedMutexes mutexes;
  FakeDesktopWindows desktop;
  FakeFileSystem files;
  int terminateRequests = 0;
  int duplicateEvents = 0;
};

TEST_F(SingleInstance, FirstCopyHoldsTheMutexForTheGuardsLife) {
  {
    auto guard = Guard(diTerminate);
    EXPECT_EQ(guard->ErrorMessage, "すでに起動されています");
    guard->Loaded();
    guard->Loaded();
    EXPECT_EQ(mutexes.HeldHere.count("Ident1684"), 1u);
    EXPECT_EQ(terminateRequests, 0);
    EXPECT_EQ(duplicateEvents, 0);
  }
  EXPECT_TRUE(mutexes.HeldHere.empty());
}

TEST_F(SingleInstance, OnlyOneGuardAtATime) {
  auto first = Guard(diTerminate);
  try {
    Guard(diTerminate);
    ADD_FAILURE() << "a second guard was created";
  } catch (const EMultiSingleInstance& error) {
    EXPECT_STREQ(error.what(), "Only single component allowed");
  }
  first.reset();
  EXPECT_NO_THROW(Guard(diTerminate)) << "the failed creation left the count raised";
}

TEST_F(SingleInstance, SecondCopyActsOnDupInstAction) {
  mutexes.HeldElsewhere.insert("Ident1684");

  Guard(diTerminate)->Loaded();
  EXPECT_EQ(duplicateEvents, 1);
  EXPECT_EQ(terminateRequests, 1);

  auto raising = Guard(diException);
  raising->ErrorMessage = "二重起動";
  try {
    raising->Loaded();
    ADD_FAILURE() << "diException did not raise";
  } catch (const EMultiAppInstance& error) {
    EXPECT_STREQ(error.what(), "二重起動");
  }
  EXPECT_EQ(duplicateEvents, 2);
  EXPECT_EQ(terminateRequests, 1);
  EXPECT_TRUE(mutexes.HeldHere.empty());
}

TEST_F(SingleInstance, AMutexWeMayNotOpenCountsAsNoOtherCopy) {
  mutexes.Denied.insert("Ident1684");
  Guard(diTerminate)->Loaded();
  EXPECT_EQ(terminateRequests, 0);
  EXPECT_EQ(duplicateEvents, 0);
}

TEST_F(SingleInstance, ActivateFirstBringsTheOtherCopyForwardAtTheEnd) {
  mutexes.HeldElsewhere.insert("Ident1684");
  files.ExePath = "C:\\Tools\\Velmora.exe";
  desktop.Windows = {
      {Handle(1), "TApplication", "Velmora", Handle(11)}, // our own
      {Handle(2), "TForm1", "Velmora", Handle(12)},       // not an application
      {Handle(3), "TApplication", "Velmora Ver1.32", Handle(13)},
      {Handle(4), "tapplication", "VELMORA", Handle(14)}, // the other copy
      {Handle(5), "TApplication", "Velmora", Handle(15)}, // later in the order
  };
  Guard(diActivateFirst)->Loaded();
  EXPECT_EQ(terminateRequests, 1);
  EXPECT_TRUE(desktop.Foreground.empty()) << "brought forward before the end";
  TSingleInstance::ActivateFirstInstance();
  EXPECT_EQ(desktop.Foreground, std::vector<platform::WindowHandle>{Handle(14)});
}

TEST_F(SingleInstance, ActivateFirstWithoutAMatchingWindowOnlyEnds) {
  mutexes.HeldElsewhere.insert("Ident1684");
  files.ExePath = "C:\\Tools\\Velmora2.exe";
  desktop.Windows = {{Handle(4), "TApplication", "Velmora", Handle(14)}};
  Guard(diActivateFirst)->Loaded();
  EXPECT_EQ(terminateRequests, 1);
  TSingleInstance::ActivateFirstInstance();
  EXPECT_TRUE(desktop.Foreground.empty());
}

} // namespace
