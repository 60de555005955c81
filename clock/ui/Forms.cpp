#include "clock/ui/Forms.h"

#include <algorithm>
#include <exception>

namespace {
TApplication* current = nullptr;
} // namespace

TForm::TForm(std::string name) : TControl(*this, std::move(name)) {
  SetVisible(false);
}

TForm::~TForm() {
  // The window goes while the form is still whole.
  SetPeer(nullptr);
}

void TForm::SetClientSize(int width, int height) {
  if (width == clientWidth_ && height == clientHeight_)
    return;
  UserClientSize(width, height);
  Changed(TChange::Bounds);
}

void TForm::UserClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
}

void TForm::Close() {
  if (OnClose)
    OnClose(this);
  if (HasApplication() && Application().MainForm() == this)
    Application().Terminate();
  else
    Hide();
}

void TForm::UserClose() {
  Dispatch([this] { Close(); });
}

void TForm::SetWindowState(TWindowState state) {
  if (state == windowState_)
    return;
  windowState_ = state;
  Changed(TChange::WindowState);
}

bool TForm::Showing() const {
  if (!Visible())
    return false;
  return !HasApplication() || Application().MainForm() != this || !Application().Minimized();
}

void TForm::UserFocused(TControl& control) {
  TControl* left = activeControl_;
  activeControl_ = &control;
  if (left && left != &control)
    left->UserExit();
}

void TForm::SetForeground() {
  if (auto* peer = static_cast<TFormPeer*>(Peer()))
    peer->SetForeground();
}

std::intptr_t TForm::Perform(unsigned msg, std::uintptr_t wParam, std::intptr_t lParam) {
  TMessage message;
  message.Msg = msg;
  message.WParam = wParam;
  message.LParam = lParam;
  Receive(message);
  return message.Result;
}

void TForm::Receive(TMessage& message) {
  Dispatch([&] { WndProc(message); });
}

void TForm::WndProc(TMessage& message) {
  if (auto* peer = static_cast<TFormPeer*>(Peer()))
    peer->DefaultHandler(message);
}

void TForm::HandleNeeded() {
  if (HasApplication())
    Application().CreateHandles(*this);
}

TComponent* TForm::FindComponent(const std::string& name) const {
  for (TComponent* component : components_)
    if (component->Name() == name)
      return component;
  return nullptr;
}

void TForm::Unregister(TComponent& component) {
  components_.erase(std::remove(components_.begin(), components_.end(), &component),
                    components_.end());
}

bool THeadlessBackend::HandleMessage() {
  // Nothing arrives headless later on: the loop ends once the pending work is
  // done.
  ProcessMessages();
  return false;
}

bool THeadlessBackend::ProcessMessages() {
  if (OnProcessMessages)
    OnProcessMessages();
  bool quit = quitPosted_;
  quitPosted_ = false;
  return !quit;
}

void THeadlessBackend::WaitForMessage(unsigned milliseconds) {
  if (OnWaitForMessage)
    OnWaitForMessage(milliseconds);
}

void THeadlessBackend::ShowMessage(const std::string& caption, const std::string& text) {
  Record(TKind::Message, caption, text);
}

void THeadlessBackend::ShowError(const std::string& caption, const std::string& text) {
  Record(TKind::Error, caption, text);
}

void THeadlessBackend::Record(TKind kind, const std::string& caption, const std::string& text) {
  Shown.push_back({kind, caption, text});
  if (OnShow)
    OnShow(Shown.back());
}

TApplication::TApplication(TBackend& backend) : backend_(backend), previous_(current) {
  current = this;
}

TApplication::~TApplication() {
  DestroyForms();
  current = previous_;
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  backend_.SetTitle(title);
}

void TApplication::AddForm(std::unique_ptr<TForm> form) {
  TForm& created = *form;
  forms_.push_back(std::move(form));
  if (!mainForm_)
    mainForm_ = &created;
  created.creating_ = true;
  // Timers need no window: they run from the start, also while OnCreate
  // keeps messages flowing.
  for (TComponent* component : created.Components())
    if (dynamic_cast<TTimer*>(component))
      component->SetPeer(backend_.CreatePeer(*component));
  HandleEvent([&] {
    if (created.OnCreate)
      created.OnCreate(&created);
  });
  CreateHandles(created);
  created.creating_ = false;
  created.Changed(TChange::Visible);
}

void TApplication::CreateHandles(TForm& form) {
  if (form.handlesCreated_)
    return;
  form.handlesCreated_ = true;
  form.SetPeer(backend_.CreatePeer(form));
  std::vector<TComponent*> components = form.Components();
  for (TComponent* component : components)
    if (!component->Peer())
      component->SetPeer(backend_.CreatePeer(*component));
  for (TComponent* component : components)
    component->OwnerHandleCreated();
  if (!form.creating_)
    form.Changed(TChange::Visible);
}

void TApplication::DestroyForms() {
  while (!forms_.empty()) {
    std::unique_ptr<TForm> form = std::move(forms_.back());
    forms_.pop_back();
    HandleEvent([&] {
      if (form->OnDestroy)
        form->OnDestroy(form.get());
    });
    if (mainForm_ == form.get())
      mainForm_ = nullptr;
  }
}

void TApplication::Run() {
  if (ShowMainForm && mainForm_)
    mainForm_->Show();
  while (!terminated_) {
    if (!backend_.HandleMessage())
      terminated_ = true;
  }
  DestroyForms();
}

void TApplication::Terminate() {
  terminated_ = true;
  backend_.PostQuit();
}

void TApplication::ProcessMessages() {
  if (!backend_.ProcessMessages())
    terminated_ = true;
}

void TApplication::WaitForMessage(unsigned milliseconds) {
  backend_.WaitForMessage(milliseconds);
}

void TApplication::UserMinimized(bool minimized) {
  if (minimized == minimized_)
    return;
  minimized_ = minimized;
  // The main form's window goes and comes with the program's state.
  if (mainForm_)
    mainForm_->Changed(TChange::Visible);
}

void TApplication::Minimize() {
  if (minimized_)
    return;
  backend_.Minimize();
  UserMinimized(true);
  HandleEvent([this] {
    if (OnMinimize)
      OnMinimize(nullptr);
  });
}

void TApplication::Restore() {
  if (!minimized_)
    return;
  UserMinimized(false);
  backend_.Restore();
  HandleEvent([this] {
    if (OnRestore)
      OnRestore(nullptr);
  });
}

void TApplication::NormalizeTopMosts() {
  backend_.NormalizeTopMosts();
}

void TApplication::SetTaskbarEntryVisible(bool visible) {
  backend_.SetTaskbarEntryVisible(visible);
}

void TApplication::ShowMessage(const std::string& text) {
  backend_.ShowMessage(title_, text);
}

void TApplication::ShowException(const std::string& text) {
  backend_.ShowError(title_, ErrorReportText(text));
}

void TApplication::HandleEvent(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowException(error.what());
  } catch (...) {
    // Nothing may unwind through the window system's frames.
    ShowException("Unknown error");
  }
}

TApplication& Application() {
  if (!current)
    std::terminate();
  return *current;
}

bool HasApplication() {
  return current != nullptr;
}

void ShowMessage(const std::string& text) {
  Application().ShowMessage(text);
}

std::string ErrorReportText(const std::string& text) {
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.')
    return text + ".";
  return text;
}
