#include "clock/SysCtrls/TAnimateForm.h"

#include "clock/platform/Sounds.h"
#include "clock/platform/WindowPlacement.h"

namespace {

const unsigned kEraseBackground = 0x0014;
const unsigned kSysCommand = 0x0112;
// Compared whole: a command with other low bits is not ours.
const std::uintptr_t kMinimizeCommand = 0xF020;
const std::uintptr_t kRestoreCommand = 0xF120;

TForm& OwnerForm(TComponent* owner) {
  auto* form = dynamic_cast<TForm*>(owner);
  if (!form)
    throw EAnimateFormError("Owner must be a form");
  // The main form is taken at the end of its construction, so only a
  // component built with the first form finds none.
  if (HasApplication() && Application().MainForm())
    throw EAnimateFormError("AnimateForm muse be placed in a main form");
  return *form;
}

void PlaySystemSound(const char* name) {
  platform::Sounds().Play(name, platform::kSoundAsyncAliasNoDefault);
}

} // namespace

TAnimateForm::TAnimateForm(TComponent* owner, std::string name)
    : TComponent(&OwnerForm(owner), std::move(name)), form_(*Owner()) {}

TAnimateForm::~TAnimateForm() {
  // The previous procedures come back while this object is still whole.
  SetPeer(nullptr);
}

void TAnimateForm::OwnerHandleCreated() {
  if (!Peer())
    SetPeer(ReplaceWindowProcedures(*this));
}

bool TAnimateForm::MainWindowMessage(TMessage& message) {
  if (message.Msg != kSysCommand || message.WParam != kMinimizeCommand)
    return false;
  Dispatch([this] { MinimizeFromMainWindow(); });
  message.Result = 0;
  return true;
}

bool TAnimateForm::ApplicationWindowMessage(TMessage& message) {
  if (message.Msg == kEraseBackground) {
    message.Result = 1;
    return true;
  }
  if (message.Msg != kSysCommand)
    return false;
  if (message.WParam == kRestoreCommand) {
    Dispatch([this] { RestoreFromTaskbar(); });
    message.Result = 1;
    return true;
  }
  if (message.WParam == kMinimizeCommand) {
    Dispatch([this] { MinimizeFromTaskbar(); });
    message.Result = 0;
    return true;
  }
  return false;
}

void TAnimateForm::MinimizeFromMainWindow() {
  TApplication& application = Application();
  platform::TWindowPlacement& windows = platform::WindowPlacement();
  const std::string title = application.Title();
  // The task-bar button carries the caption while the animation runs.
  application.SetTitle(form_.Text());
  application.NormalizeTopMosts();
  windows.Activate(applicationWindow_);
  // The system animates from the application window's rectangle.
  windows.Move(applicationWindow_, form_.Left(), form_.Top(), form_.Width(), form_.Height(), true);
  PlaySystemSound("Minimize");
  windows.Show(applicationWindow_, platform::kShowMinimize);
  application.UserMinimized(true);
  application.SetTitle(title);
  if (application.OnMinimize)
    application.OnMinimize(nullptr);
}

void TAnimateForm::RestoreFromTaskbar() {
  platform::TWindowPlacement& windows = platform::WindowPlacement();
  PlaySystemSound("RestoreUp");
  windows.Activate(applicationWindow_);
  windows.Show(applicationWindow_, platform::kShowRestore);
  Application().UserMinimized(false);
  const int parked = windows.ScreenWidth() / 2;
  windows.Move(applicationWindow_, parked, parked, 0, 0, false);
}

void TAnimateForm::MinimizeFromTaskbar() {
  PlaySystemSound("Minimize");
  // The framework's own handling, not the window procedure taken over here.
  form_.Perform(kSysCommand, kMinimizeCommand, 0);
}

#ifndef _WIN32
std::unique_ptr<TPeer> ReplaceWindowProcedures(TAnimateForm&) {
  return nullptr;
}
#endif
