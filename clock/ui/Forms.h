// Forms, the application object and the backend they run on. The Win32
// backend is in Backend_win.h; THeadlessBackend runs the same objects
// without windows and records what would have been shown.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clock/ui/Controls.h"

// A window message as the form's WndProc hook sees it.
struct TMessage {
  unsigned Msg = 0;
  std::uintptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

struct TFont {
  std::string Name;
  int Height = 0; // character height in pixels
};

enum class TWindowState { Normal, Minimized };

// A top-level window owned by the application window: fixed single border,
// system menu and minimise box, no maximise box. Left and Top are the
// window's screen position, the client size is set apart. Its controls use
// its font.
class TForm : public TControl {
public:
  explicit TForm(std::string name);
  ~TForm() override;

  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);

  TFont Font;
  // Set before the window exists.
  TMainMenu* Menu = nullptr;
  bool ShowHint = true;

  TNotifyEvent OnCreate;
  // The user closes the form; a main form's closing then ends the program.
  TNotifyEvent OnClose;
  TNotifyEvent OnDestroy;

  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Whether the window is on the screen: visible, and for the main form
  // only while the program is not minimised. Windows hides the windows of a
  // minimised owner itself, but not every version and not Wine.
  bool Showing() const;
  // The control of this form that has, or last had, the keyboard focus.
  TControl* ActiveControl() const { return activeControl_; }
  // As the user's close: OnClose, then the end of the program for the main
  // form, or hiding for any other.
  void Close();
  TWindowState WindowState() const { return windowState_; }
  void SetWindowState(TWindowState state);
  // Brings the window to the foreground.
  void SetForeground();

  // Sends a message through WndProc and returns its result.
  std::intptr_t Perform(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam);

  // Gives the form and its controls their windows now if they have none
  // yet. They get them at the end of the form's creation anyway; code that
  // needs the form's window during OnCreate (or WindowHandle) calls this.
  void HandleNeeded();

  const std::vector<TComponent*>& Components() const { return components_; }
  // The component of that design name, or nullptr.
  TComponent* FindComponent(const std::string& name) const;

  // Backend side.
  void UserClose();
  void UserWindowState(TWindowState state) { windowState_ = state; }
  void UserClientSize(int width, int height);
  // While true the peer keeps the window hidden (creation runs OnCreate).
  bool Creating() const { return creating_; }
  // The keyboard focus went to this control of the form. The control that
  // had it before gets its exit event, as when the user tabs or clicks to
  // another control; focus that leaves the form (another program, a
  // message, a menu) changes nothing.
  void UserFocused(TControl& control);
  // Every message of the form's window passes here.
  void Receive(TMessage& message);

protected:
  // The window procedure hook: handle what you need, pass the rest on to
  // this base, which hands it to the backend's own handling.
  virtual void WndProc(TMessage& message);

private:
  friend class TComponent;
  friend class TApplication;
  void Register(TComponent& component) { components_.push_back(&component); }
  void Unregister(TComponent& component);

  int clientWidth_ = 0;
  int clientHeight_ = 0;
  TWindowState windowState_ = TWindowState::Normal;
  TControl* activeControl_ = nullptr;
  bool creating_ = false;
  bool handlesCreated_ = false;
  std::vector<TComponent*> components_;
};

// The form peer also takes the messages the form's WndProc passes on.
class TFormPeer : public TPeer {
public:
  virtual void DefaultHandler(TMessage& message) = 0;
  virtual void SetForeground() = 0;
};

class TApplication;

struct TPoint {
  int X = 0;
  int Y = 0;
};

// What the application needs from the platform.
class TBackend {
public:
  virtual ~TBackend() = default;

  // A peer for the component, or nullptr to leave it headless.
  virtual std::unique_ptr<TPeer> CreatePeer(TComponent& component) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  // Waits for and handles one message; false when the loop is to end.
  virtual bool HandleMessage() = 0;
  // Handles every pending message; false when a quit request came.
  virtual bool ProcessMessages() = 0;
  // Returns when a message arrives or the time has passed.
  virtual void WaitForMessage(unsigned milliseconds) = 0;
  // Makes the next HandleMessage or ProcessMessages report the end.
  virtual void PostQuit() = 0;
  virtual void Minimize() = 0;
  virtual void Restore() = 0;
  virtual void SetTaskbarEntryVisible(bool visible) = 0;
  // The program's topmost windows stop staying on top.
  virtual void NormalizeTopMosts() = 0;
  virtual TPoint CursorPos() = 0;
  virtual void Popup(TPopupMenu& menu, int x, int y) = 0;
  // The information message: modal, returns when it is closed.
  virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
  // The error report: a system message box with the stop icon and OK.
  virtual void ShowError(const std::string& caption, const std::string& text) = 0;
};

// No windows: messages and errors go to Shown (and to OnShow, where a test
// can act while the message would be open); nothing else happens unless a
// test hooks in. Nothing arrives later on, so Run returns at once after
// one round of ProcessMessages.
class THeadlessBackend : public TBackend {
public:
  enum class TKind { Message, Error };
  struct TShown {
    TKind Kind;
    std::string Caption;
    std::string Text;
  };
  std::vector<TShown> Shown;
  std::function<void(const TShown&)> OnShow;

  // Called for each ProcessMessages and WaitForMessage, e.g. to move a fake
  // clock or fire timers.
  std::function<void()> OnProcessMessages;
  std::function<void(unsigned milliseconds)> OnWaitForMessage;

  struct TPopupCall {
    TPopupMenu* Menu;
    TPoint At;
  };
  std::vector<TPopupCall> Popups;
  TPoint Cursor;
  bool TaskbarEntryVisible = true;
  int MinimizeCalls = 0;
  int RestoreCalls = 0;
  std::string Title;

  std::unique_ptr<TPeer> CreatePeer(TComponent&) override { return nullptr; }
  void SetTitle(const std::string& title) override { Title = title; }
  bool HandleMessage() override;
  bool ProcessMessages() override;
  void WaitForMessage(unsigned milliseconds) override;
  void PostQuit() override { quitPosted_ = true; }
  void Minimize() override { ++MinimizeCalls; }
  void Restore() override { ++RestoreCalls; }
  void SetTaskbarEntryVisible(bool visible) override { TaskbarEntryVisible = visible; }
  // Headless windows are never on top.
  void NormalizeTopMosts() override {}
  TPoint CursorPos() override { return Cursor; }
  void Popup(TPopupMenu& menu, int x, int y) override { Popups.push_back({&menu, {x, y}}); }
  void ShowMessage(const std::string& caption, const std::string& text) override;
  void ShowError(const std::string& caption, const std::string& text) override;

private:
  void Record(TKind kind, const std::string& caption, const std::string& text);
  bool quitPosted_ = false;
};

// The program's application object. One exists at a time; Application()
// returns it. It owns the forms; the first one created is the main form.
class TApplication {
public:
  explicit TApplication(TBackend& backend);
  // Destroys the forms that are left, running their OnDestroy.
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  TBackend& Backend() const { return backend_; }

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);

  // When true, Run shows the main form first; when false the main form
  // shows itself (by its Visible state at the end of its creation).
  bool ShowMainForm = true;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;

  // Constructs the form, starts its timers, runs OnCreate as a dispatch
  // point, gives the form and its controls their windows (unless OnCreate
  // asked for them earlier) and then shows the form if it is Visible.
  template <class TFormClass> TFormClass& CreateForm() {
    auto form = std::make_unique<TFormClass>();
    TFormClass& created = *form;
    AddForm(std::move(form));
    return created;
  }
  TForm* MainForm() const { return mainForm_; }

  // The message loop, until a terminate request; then the forms are
  // destroyed (OnDestroy runs) and Run returns.
  void Run();
  // Ends the message loop at its next turn; no OnClose runs.
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles every pending message.
  void ProcessMessages();
  // Returns when a message arrives or the time has passed.
  void WaitForMessage(unsigned milliseconds);

  // Minimises the whole program (its windows go, the task-bar button stays)
  // and runs OnMinimize; Restore brings them back and runs OnRestore. Each
  // does nothing when the program already is in that state.
  void Minimize();
  void Restore();
  bool Minimized() const { return minimized_; }
  // Backend side: the application window was minimised or restored by
  // other means than Minimize and Restore; the main form's window goes or
  // comes with it.
  void UserMinimized(bool minimized);
  // Shows or hides the application's task-bar window.
  void SetTaskbarEntryVisible(bool visible);
  // The program's topmost windows stop staying on top, e.g. before the
  // program is minimised from one of its own window procedures.
  void NormalizeTopMosts();
  TPoint CursorPos() { return backend_.CursorPos(); }

  // The information message with the title as caption; returns when closed.
  void ShowMessage(const std::string& text);
  // The error report: the text with ErrorReportText's rule, the title as
  // caption.
  void ShowException(const std::string& text);
  // Runs a handler and reports what it raises (see Dispatch).
  void HandleEvent(const std::function<void()>& handler);

private:
  friend class TForm;
  void AddForm(std::unique_ptr<TForm> form);
  void CreateHandles(TForm& form);
  void DestroyForms();

  TBackend& backend_;
  std::string title_;
  std::vector<std::unique_ptr<TForm>> forms_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool minimized_ = false;
  TApplication* previous_ = nullptr;
};

// The application that exists now; there must be one.
TApplication& Application();
bool HasApplication();

// The information message of the current application.
void ShowMessage(const std::string& text);

// The error report's text: a "." is appended when the last byte sorts after
// "." (so every Japanese text gets one, while "...)" or "." stay).
std::string ErrorReportText(const std::string& text);
