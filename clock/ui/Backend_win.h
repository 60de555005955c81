// The toolkit's Win32 backend: real windows for the control model, the
// application window of class "TApplication", the message loop, the
// information message and the error report.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "clock/ui/Forms.h"
#include "clock/ui/Handles_win.h"
#include "clock/ui/WindowTarget_win.h"

class TWin32Backend : public TBackend, private TWindowTarget {
public:
  // Initialises COM for the thread and the common controls, registers the
  // window classes and creates the application window.
  explicit TWin32Backend(HINSTANCE instance);
  ~TWin32Backend() override;

  HINSTANCE Instance() const { return instance_; }
  // The hidden owner of every form; it carries the task-bar button.
  HWND ApplicationWindow() const { return applicationWindow_.Get(); }

  std::unique_ptr<TPeer> CreatePeer(TComponent& component) override;
  void SetTitle(const std::string& title) override;
  bool HandleMessage() override;
  bool ProcessMessages() override;
  void WaitForMessage(unsigned milliseconds) override;
  void PostQuit() override;
  void Minimize() override;
  void Restore() override;
  void SetTaskbarEntryVisible(bool visible) override;
  void NormalizeTopMosts() override;
  TPoint CursorPos() override;
  void Popup(TPopupMenu& menu, int x, int y) override;
  void ShowMessage(const std::string& caption, const std::string& text) override;
  void ShowError(const std::string& caption, const std::string& text) override;

  // Menu commands: an id for each item of a menu with a window.
  UINT AddMenuCommand(TMenuItem& item);
  void RemoveMenuCommand(UINT id);
  void MenuCommand(UINT id);
  // Sets the check marks of a menu about to open from its items.
  void ShowMenuChecks(HMENU menu);
  // A child window id, unique in the program.
  int NextControlId() { return nextControlId_++; }

private:
  // The application window's procedure: one line per message.
  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT OnSysCommand(WPARAM command, LPARAM lParam);
  LRESULT OnActivate(WPARAM state);
  LRESULT OnClose();
  // A message of the loop that a form's keyboard navigation takes.
  bool IsNavigation(MSG& message);

  HINSTANCE instance_;
  TComApartment com_;
  TWindow applicationWindow_;
  // Tells the forms where the keyboard focus goes.
  THook focusHook_;
  std::map<UINT, TMenuItem*> menuCommands_;
  UINT nextMenuCommand_ = 1000;
  int nextControlId_ = 100;
};

// The window of a control or form; asking for it makes the form's windows
// if they do not exist yet (nullptr headless).
HWND WindowHandle(const TControl& control);
