// TAnimateForm: minimises and restores the program from and to its main
// window's own rectangle, with the system's sounds, by taking over the
// window procedures of the main window and of the application window from
// the owner's window creation to the component's destruction.
#pragma once

#include <memory>
#include <string>

#include "clock/Exceptions.h"
#include "clock/platform/Seam.h"
#include "clock/ui/Forms.h"

class EAnimateFormError : public Exception {
public:
  using Exception::Exception;
};

class TAnimateForm : public TComponent {
public:
  // The owner must be a form, and the form must become the main form: no
  // main form may exist yet. Otherwise EAnimateFormError.
  explicit TAnimateForm(TComponent* owner, std::string name = "AnimateForm1");
  ~TAnimateForm() override;
  const char* ClassName() const override { return "TAnimateForm"; }

  // Backend side: a message to the main window or to the application
  // window, before their previous procedures. True when handled here, with
  // the answer in Result; false passes it on.
  bool MainWindowMessage(TMessage& message);
  bool ApplicationWindowMessage(TMessage& message);

  // Backend side: the windows whose procedures are taken over.
  void SetWindows(platform::WindowHandle mainWindow, platform::WindowHandle applicationWindow) {
    mainWindow_ = mainWindow;
    applicationWindow_ = applicationWindow;
  }

private:
  void OwnerHandleCreated() override;
  void MinimizeFromMainWindow();
  void RestoreFromTaskbar();
  void MinimizeFromTaskbar();

  TForm& form_;
  platform::WindowHandle mainWindow_ = nullptr;
  platform::WindowHandle applicationWindow_ = nullptr;
};

// The replaced procedures of the component's two windows for as long as
// the returned peer lives; nullptr where the owner or the application has
// no window (headless). In TAnimateForm_win.cpp.
std::unique_ptr<TPeer> ReplaceWindowProcedures(TAnimateForm& component);
