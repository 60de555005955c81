#include "clock/SysCtrls/TSingleInstance.h"

#include "clock/FilePaths.h"
#include "clock/TextCp932.h"
#include "clock/platform/DesktopWindows.h"
#include "clock/platform/FileSystem.h"

namespace {
int liveInstances = 0;
platform::WindowHandle windowToActivate = nullptr;
} // namespace

TSingleInstance::TSingleInstance(TGuardedProgram program) : program_(std::move(program)) {
  if (liveInstances >= 1)
    throw EMultiSingleInstance("Only single component allowed");
  ++liveInstances;
}

TSingleInstance::~TSingleInstance() {
  --liveInstances;
}

void TSingleInstance::Loaded() {
  if (checked_)
    return;
  checked_ = true;
  CheckDuplicate();
}

void TSingleInstance::CheckDuplicate() {
  platform::TMutexOpening opening = platform::NamedMutexes().CreateOrOpen(UniqueName);
  // A mutex we may not open, or one we could not create, counts as no other
  // copy: this one then runs unguarded.
  if (opening.Status != platform::TMutexOpening::AlreadyExists) {
    mutex_ = std::move(opening.Hold);
    return;
  }
  if (OnDuplicate)
    OnDuplicate(*this);
  switch (DupInstAction) {
  case diActivateFirst: {
    const platform::WindowHandle other = FindOtherApplicationWindow();
    windowToActivate = other ? platform::DesktopWindows().LastActivePopup(other) : nullptr;
    program_.Terminate();
    break;
  }
  case diException:
    throw EMultiAppInstance(ErrorMessage);
  case diTerminate:
    program_.Terminate();
    break;
  }
}

platform::WindowHandle TSingleInstance::FindOtherApplicationWindow() const {
  platform::TDesktopWindows& desktop = platform::DesktopWindows();
  const std::string title = ExtractFileBaseName(platform::FileSystem().ExecutablePath());
  for (platform::WindowHandle window : desktop.TopLevelWindows()) {
    if (SameTextIgnoringCase(desktop.ClassName(window), "TApplication") &&
        window != program_.ApplicationWindow && SameTextIgnoringCase(desktop.Text(window), title))
      return window;
  }
  return nullptr;
}

void TSingleInstance::ActivateFirstInstance() {
  if (windowToActivate)
    platform::DesktopWindows().BringToForeground(windowToActivate);
  windowToActivate = nullptr;
}
