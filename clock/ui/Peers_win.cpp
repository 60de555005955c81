#include "clock/ui/Peers_win.h"

#include <commctrl.h>
#include <imm.h>

#include <map>
#include <string>
#include <vector>

const char kFormProperty[] = "VelmoraForm";

namespace {

const char kPeerProperty[] = "VelmoraPeer";

// Form style: fixed single border, system menu and minimise box.
const DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
const DWORD kFormExStyle = WS_EX_CONTROLPARENT;

std::string WindowText(HWND window) {
  int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
  return text;
}

class TFormWindow;

// The window of a control inside a form: created at the control's bounds
// in its parent's window, with the form's font and tool tip.
class TControlWindow : public TPeer, public TWindowed {
public:
  TControlWindow(TWin32Backend& backend, TControl& control)
      : backend_(backend), control_(control) {}
  ~TControlWindow() override;

  HWND Handle() const override { return window_.Get(); }
  TControl& Control() const { return control_; }
  void Changed(TChange what) override;

  virtual void OnCommand(WORD) {}
  virtual void OnNotify(NMHDR&) {}
  virtual void OnScroll() {}

protected:
  void Create(const char* className, DWORD style, DWORD exStyle, TWindowTarget* target = nullptr);
  TFormWindow& Form() const;
  TWin32Backend& backend_;
  TControl& control_;
  // Set while the peer writes state into the window, whose echoes are not
  // user input.
  bool syncing_ = false;

private:
  TWindow window_;
};

} // namespace

HWND RootWindow(HWND window) {
  while (window && (GetWindowLongA(window, GWL_STYLE) & WS_CHILD))
    window = GetParent(window);
  return window;
}

namespace {

TControlWindow* ControlWindowOf(HWND window) {
  return window ? static_cast<TControlWindow*>(GetPropA(window, kPeerProperty)) : nullptr;
}

class TFormWindow : public TFormPeer, public TWindowed, public TWindowTarget {
public:
  TFormWindow(TWin32Backend& backend, TForm& form);
  ~TFormWindow() override;

  HWND Handle() const override { return handle_; }
  HFONT Font() const { return font_.Get(); }
  void Changed(TChange what) override;
  void DefaultHandler(TMessage& message) override;
  void SetForeground() override { SetForegroundWindow(handle_); }
  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  void SetTip(HWND control, const std::string& text);
  // Keeps the client size when the menu bar comes or goes.
  void ApplyBounds();

private:
  LRESULT Default(const TMessage& message) {
    return DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam);
  }
  LRESULT OnClose();
  LRESULT OnSysCommand(const TMessage& message);
  LRESULT OnWindowPosChanged(const TMessage& message);
  LRESULT OnActivate(const TMessage& message);
  LRESULT OnGetDefId();
  LRESULT OnFocusMoved(const TMessage& message);

  TWin32Backend& backend_;
  TForm& form_;
  HWND handle_ = nullptr;
  TWindow window_;
  TFontHandle font_;
  TWindow toolTip_;
};

TFormWindow& TControlWindow::Form() const {
  return *static_cast<TFormWindow*>(control_.Owner()->Peer());
}

void TControlWindow::Create(const char* className, DWORD style, DWORD exStyle,
                            TWindowTarget* target) {
  style |= WS_CHILD | WS_CLIPSIBLINGS;
  if (control_.Visible())
    style |= WS_VISIBLE;
  if (!control_.Enabled())
    style |= WS_DISABLED;
  HWND parent = WindowHandle(*control_.Parent());
  int id = backend_.NextControlId();
  HWND window = CreateWindowExA(exStyle, className, control_.Text().c_str(), style, control_.Left(),
                                control_.Top(), control_.Width(), control_.Height(), parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                backend_.Instance(), target);
  if (!window)
    return;
  window_.Reset(window);
  SetPropA(window, kPeerProperty, this);
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Form().Font()), FALSE);
  if (!control_.Hint().empty())
    Form().SetTip(window, control_.Hint());
}

TControlWindow::~TControlWindow() {
  // Notifications sent while the window goes must not reach this peer.
  if (window_)
    RemovePropA(window_.Get(), kPeerProperty);
}

void TControlWindow::Changed(TChange what) {
  HWND window = Handle();
  if (!window)
    return;
  syncing_ = true;
  switch (what) {
  case TChange::Text:
    SetWindowTextA(window, control_.Text().c_str());
    break;
  case TChange::Enabled:
    EnableWindow(window, control_.Enabled());
    break;
  case TChange::Visible:
    ShowWindow(window, control_.Visible() ? SW_SHOWNA : SW_HIDE);
    break;
  case TChange::Bounds:
    SetWindowPos(window, nullptr, control_.Left(), control_.Top(), control_.Width(),
                 control_.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    break;
  case TChange::Hint:
    Form().SetTip(window, control_.Hint());
    break;
  default:
    break;
  }
  syncing_ = false;
}

class TLabelWindow : public TControlWindow {
public:
  TLabelWindow(TWin32Backend& backend, TLabel& label)
      : TControlWindow(backend, label), label_(label) {
    // SS_NOTIFY: the label takes the mouse, so its tool tip can show.
    Create("TLabel", SS_LEFT | SS_NOTIFY, 0);
    Measure();
  }
  void Changed(TChange what) override {
    TControlWindow::Changed(what);
    if (what == TChange::Text)
      Measure();
  }

private:
  void Measure() {
    if (!label_.AutoSize || !Handle())
      return;
    TScreenDC dc;
    HGDIOBJ old = SelectObject(dc.Get(), Form().Font());
    SIZE size = {};
    GetTextExtentPoint32A(dc.Get(), label_.Text().c_str(), static_cast<int>(label_.Text().size()),
                          &size);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(dc.Get(), &metrics);
    SelectObject(dc.Get(), old);
    SetWindowPos(Handle(), nullptr, 0, 0, size.cx, metrics.tmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    label_.UserBounds(label_.Left(), label_.Top(), size.cx, metrics.tmHeight);
  }
  TLabel& label_;
};

class TButtonWindow : public TControlWindow {
public:
  TButtonWindow(TWin32Backend& backend, TButton& button)
      : TControlWindow(backend, button), button_(button) {
    Create("TButton", WS_TABSTOP | (button.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0);
  }
  void OnCommand(WORD code) override {
    if (code == BN_CLICKED)
      button_.UserClick();
  }

private:
  TButton& button_;
};

class TCheckBoxWindow : public TControlWindow {
public:
  TCheckBoxWindow(TWin32Backend& backend, TCheckBox& box)
      : TControlWindow(backend, box), box_(box) {
    Create("TCheckBox", WS_TABSTOP | BS_AUTOCHECKBOX, 0);
    Changed(TChange::Checked);
  }
  void Changed(TChange what) override {
    TControlWindow::Changed(what);
    if (what == TChange::Checked)
      SendMessageA(Handle(), BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void OnCommand(WORD code) override {
    if (code != BN_CLICKED)
      return;
    bool checked = SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    if (checked != box_.Checked())
      box_.UserClick();
  }

private:
  TCheckBox& box_;
};

class TEditWindow : public TControlWindow {
public:
  TEditWindow(TWin32Backend& backend, TEdit& edit) : TControlWindow(backend, edit), edit_(edit) {
    Create("TEdit", WS_TABSTOP | ES_AUTOHSCROLL | (edit.PasswordChar ? ES_PASSWORD : 0),
           WS_EX_CLIENTEDGE);
    if (edit.PasswordChar)
      SendMessageA(Handle(), EM_SETPASSWORDCHAR, static_cast<unsigned char>(edit.PasswordChar), 0);
    if (edit.InputMethodOff)
      ImmAssociateContext(Handle(), nullptr);
  }
  void OnCommand(WORD code) override {
    if (code == EN_CHANGE && !syncing_)
      edit_.UserText(WindowText(Handle()));
  }

private:
  TEdit& edit_;
};

class TComboBoxWindow : public TControlWindow {
public:
  TComboBoxWindow(TWin32Backend& backend, TComboBox& box)
      : TControlWindow(backend, box), box_(box) {
    bool list = box.Style == TComboBoxStyle::DropDownList;
    Create("TComboBox",
           WS_TABSTOP | WS_VSCROLL | CBS_AUTOHSCROLL | (list ? CBS_DROPDOWNLIST : CBS_DROPDOWN), 0);
    if (!Handle())
      return;
    // The window's height includes the opened list; the closed box takes
    // its height from the font.
    int rowHeight = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
    int fieldHeight =
        static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0)) + 6;
    SetWindowPos(Handle(), nullptr, 0, 0, box.Width(),
                 fieldHeight + rowHeight * box.DropDownCount + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT closed = {};
    GetWindowRect(Handle(), &closed);
    box.UserBounds(box.Left(), box.Top(), box.Width(), closed.bottom - closed.top);
    if (box.InputMethodOff) {
      ImmAssociateContext(Handle(), nullptr);
      // The field a drop-down combo box types into is its "Edit" child.
      if (HWND field = FindWindowExA(Handle(), nullptr, "Edit", nullptr))
        ImmAssociateContext(field, nullptr);
    }
    Fill();
  }
  void Changed(TChange what) override {
    switch (what) {
    case TChange::Items:
      Fill();
      break;
    case TChange::Text:
    case TChange::ItemIndex:
      Select();
      break;
    case TChange::Bounds:
      // The height stays the one with the opened list.
      break;
    default:
      TControlWindow::Changed(what);
    }
  }
  void OnCommand(WORD code) override {
    if (syncing_)
      return;
    if (code == CBN_SELCHANGE)
      box_.UserSelect(static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)));
    else if (code == CBN_EDITCHANGE)
      box_.UserText(WindowText(Handle()));
  }

private:
  void Fill() {
    syncing_ = true;
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    for (const std::string& item : box_.Items())
      SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    syncing_ = false;
    Select();
  }
  void Select() {
    syncing_ = true;
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(box_.ItemIndex()), 0);
    if (box_.Style == TComboBoxStyle::DropDown)
      SetWindowTextA(Handle(), box_.Text().c_str());
    syncing_ = false;
  }
  TComboBox& box_;
};

class TPanelWindow : public TControlWindow, public TWindowTarget {
public:
  TPanelWindow(TWin32Backend& backend, TPanel& panel)
      : TControlWindow(backend, panel), panel_(panel) {
    RegisterTargetClass(backend.Instance(), "TPanel", nullptr);
    Create("TPanel", 0, WS_EX_CONTROLPARENT, this);
  }
  ~TPanelWindow() override {
    if (Handle())
      SetWindowLongPtrA(Handle(), GWLP_USERDATA, 0);
  }
  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
    LRESULT result = 0;
    if (RouteNotification(backend_, message, wParam, lParam, result))
      return result;
    switch (message) {
    case WM_PAINT:
      return OnPaint(window);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
    }
  }

private:
  LRESULT OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT bounds;
    GetClientRect(window, &bounds);
    if (panel_.Bevel != TPanelBevel::None)
      DrawEdge(dc, &bounds,
               panel_.Bevel == TPanelBevel::Lowered ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    EndPaint(window, &paint);
    return 0;
  }
  TPanel& panel_;
};

class TStatusBarWindow : public TControlWindow {
public:
  TStatusBarWindow(TWin32Backend& backend, TStatusBar& bar) : TControlWindow(backend, bar) {
    // Placed by its bounds, not docked by the control itself.
    Create("TStatusBar", CCS_NOPARENTALIGN | CCS_NORESIZE, 0);
    SendMessageA(Handle(), SB_SIMPLE, TRUE, 0);
    Changed(TChange::Text);
  }
  void Changed(TChange what) override {
    if (what == TChange::Text)
      SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID,
                   reinterpret_cast<LPARAM>(control_.Text().c_str()));
    else
      TControlWindow::Changed(what);
  }
};

class TUpDownWindow : public TControlWindow {
public:
  TUpDownWindow(TWin32Backend& backend, TUpDown& upDown)
      : TControlWindow(backend, upDown), upDown_(upDown) {
    Create("TUpDown",
           UDS_SETBUDDYINT | UDS_ARROWKEYS | (upDown.Thousands ? 0 : UDS_NOTHOUSANDS) |
               (upDown.Wrap ? UDS_WRAP : 0),
           0);
    if (upDown.Associate)
      SendMessageA(Handle(), UDM_SETBUDDY,
                   reinterpret_cast<WPARAM>(WindowHandle(*upDown.Associate)), 0);
    Changed(TChange::Position);
  }
  void Changed(TChange what) override {
    if (what != TChange::Position) {
      TControlWindow::Changed(what);
      return;
    }
    syncing_ = true;
    SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(upDown_.Min()), upDown_.Max());
    SendMessageA(Handle(), UDM_SETPOS32, 0, upDown_.Position());
    syncing_ = false;
  }
  void OnScroll() override {
    if (!syncing_)
      upDown_.UserPosition(static_cast<int>(SendMessageA(Handle(), UDM_GETPOS32, 0, 0)));
  }

private:
  TUpDown& upDown_;
};

// A thread timer: no window, its ticks come through the message loop.
class TTimerPeer : public TPeer {
public:
  explicit TTimerPeer(TTimer& timer) : timer_(timer) { Changed(TChange::Timer); }
  ~TTimerPeer() override { Stop(); }
  void Changed(TChange what) override {
    if (what != TChange::Timer)
      return;
    Stop();
    if (timer_.Enabled() && timer_.Interval() > 0) {
      id_ = SetTimer(nullptr, 0, timer_.Interval(), Tick);
      if (id_)
        Timers()[id_] = &timer_;
    }
  }

private:
  static std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
  }
  static VOID CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    auto found = Timers().find(id);
    if (found != Timers().end())
      found->second->Tick();
  }
  void Stop() {
    if (!id_)
      return;
    KillTimer(nullptr, id_);
    Timers().erase(id_);
    id_ = 0;
  }
  TTimer& timer_;
  UINT_PTR id_ = 0;
};

// A menu built from its item tree; each item gets a command id.
class TMenuPeer : public TPeer {
public:
  TMenuPeer(TWin32Backend& backend, TMenuItem& root, bool bar) : backend_(backend) {
    menu_.Reset(bar ? CreateMenu() : CreatePopupMenu());
    Fill(menu_.Get(), root);
  }
  ~TMenuPeer() override {
    for (UINT id : commands_)
      backend_.RemoveMenuCommand(id);
  }
  void Changed(TChange) override {}
  HMENU Handle() const { return menu_.Get(); }

protected:
  TWin32Backend& backend_;
  TMenuHandle menu_;

private:
  void Fill(HMENU menu, TMenuItem& parent) {
    for (auto& item : parent.Items()) {
      if (item->IsSeparator()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      } else if (!item->Items().empty()) {
        HMENU sub = CreatePopupMenu();
        Fill(sub, *item);
        AppendMenuA(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(sub),
                    item->Caption().c_str());
      } else {
        UINT id = backend_.AddMenuCommand(*item);
        commands_.push_back(id);
        AppendMenuA(menu, MF_STRING, id, item->Caption().c_str());
      }
    }
  }
  std::vector<UINT> commands_;
};

class TMainMenuPeer : public TMenuPeer {
public:
  TMainMenuPeer(TWin32Backend& backend, TMainMenu& menu)
      : TMenuPeer(backend, menu.Items, true), form_(*menu.Owner()) {
    if (form_.Menu == &menu)
      Attach(menu_.Get());
  }
  ~TMainMenuPeer() override {
    HWND window = WindowHandle(form_);
    if (window && GetMenu(window) == menu_.Get())
      Attach(nullptr);
  }

private:
  void Attach(HMENU menu) {
    HWND window = WindowHandle(form_);
    if (!window)
      return;
    SetMenu(window, menu);
    static_cast<TFormWindow*>(form_.Peer())->ApplyBounds();
  }
  TForm& form_;
};

class TPopupMenuPeer : public TMenuPeer {
public:
  TPopupMenuPeer(TWin32Backend& backend, TPopupMenu& menu)
      : TMenuPeer(backend, menu.Items, false), form_(*menu.Owner()) {}
  void Popup(int x, int y) {
    HWND owner = WindowHandle(form_);
    // Without the foreground the menu would not close on a click elsewhere.
    SetForegroundWindow(owner);
    UINT command = static_cast<UINT>(TrackPopupMenu(
        menu_.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    if (command)
      backend_.MenuCommand(command);
  }

private:
  TForm& form_;
};

TFormWindow::TFormWindow(TWin32Backend& backend, TForm& form) : backend_(backend), form_(form) {
  RegisterTargetClass(backend.Instance(), form.ClassName(),
                      LoadIconA(backend.Instance(), "MAINICON"));
  font_ = CreateFormFont(form.Font);
  HWND window = CreateWindowExA(kFormExStyle, form.ClassName(), form.Text().c_str(), kFormStyle,
                                form.Left(), form.Top(), 0, 0, backend.ApplicationWindow(), nullptr,
                                backend.Instance(), static_cast<TWindowTarget*>(this));
  if (!window)
    return;
  window_.Reset(window);
  SetPropA(window, kFormProperty, this);
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  ApplyBounds();
  if (form.ShowHint) {
    toolTip_.Reset(CreateWindowExA(
        WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, backend.Instance(), nullptr));
    SendMessageA(toolTip_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  }
}

TFormWindow::~TFormWindow() {
  // The form may be partly gone: what the window says now is not its affair.
  if (handle_) {
    RemovePropA(handle_, kFormProperty);
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
  }
  toolTip_.Reset();
  window_.Reset();
}

void TFormWindow::ApplyBounds() {
  RECT bounds = {0, 0, form_.ClientWidth(), form_.ClientHeight()};
  AdjustWindowRectEx(&bounds, kFormStyle, GetMenu(handle_) != nullptr, kFormExStyle);
  int width = bounds.right - bounds.left;
  int height = bounds.bottom - bounds.top;
  SetWindowPos(handle_, nullptr, form_.Left(), form_.Top(), width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps takes more than one line: make up the difference.
  RECT client;
  GetClientRect(handle_, &client);
  int missing = form_.ClientHeight() - (client.bottom - client.top);
  if (missing != 0)
    SetWindowPos(handle_, nullptr, 0, 0, width, height + missing,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TFormWindow::SetTip(HWND control, const std::string& text) {
  if (!toolTip_)
    return;
  TOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = handle_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(toolTip_.Get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  if (!text.empty())
    SendMessageA(toolTip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void TFormWindow::Changed(TChange what) {
  switch (what) {
  case TChange::Text:
    SetWindowTextA(handle_, form_.Text().c_str());
    break;
  case TChange::Enabled:
    EnableWindow(handle_, form_.Enabled());
    break;
  case TChange::Visible:
    if (!form_.Creating())
      ShowWindow(handle_, form_.Showing() ? SW_SHOW : SW_HIDE);
    break;
  case TChange::Bounds:
    ApplyBounds();
    break;
  case TChange::WindowState:
    ShowWindow(handle_, form_.WindowState() == TWindowState::Minimized ? SW_MINIMIZE : SW_RESTORE);
    break;
  default:
    break;
  }
}

LRESULT TFormWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  handle_ = window;
  TMessage received;
  received.Msg = message;
  received.WParam = wParam;
  received.LParam = lParam;
  // Until the form holds this peer (its window is still being created) the
  // form's hook cannot pass messages on to it.
  if (form_.Peer() == this)
    form_.Receive(received);
  else
    DefaultHandler(received);
  return received.Result;
}

void TFormWindow::DefaultHandler(TMessage& message) {
  LRESULT result = 0;
  if (RouteNotification(backend_, message.Msg, message.WParam, message.LParam, result)) {
    message.Result = result;
    return;
  }
  switch (message.Msg) {
  case WM_CLOSE:
    message.Result = OnClose();
    break;
  case WM_SYSCOMMAND:
    message.Result = OnSysCommand(message);
    break;
  case WM_WINDOWPOSCHANGED:
    message.Result = OnWindowPosChanged(message);
    break;
  case WM_ACTIVATE:
    message.Result = OnActivate(message);
    break;
  case DM_GETDEFID:
    message.Result = OnGetDefId();
    break;
  case kFocusMovedMessage:
    message.Result = OnFocusMoved(message);
    break;
  default:
    message.Result = Default(message);
  }
}

LRESULT TFormWindow::OnClose() {
  form_.Close();
  return 0;
}

LRESULT TFormWindow::OnSysCommand(const TMessage& message) {
  // The main form's minimise box minimises the whole program.
  if ((message.WParam & 0xFFF0) == SC_MINIMIZE && Application().MainForm() == &form_) {
    Application().Minimize();
    return 0;
  }
  return Default(message);
}

LRESULT TFormWindow::OnWindowPosChanged(const TMessage& message) {
  if (!IsIconic(handle_)) {
    RECT bounds;
    GetWindowRect(handle_, &bounds);
    form_.UserBounds(bounds.left, bounds.top, bounds.right - bounds.left,
                     bounds.bottom - bounds.top);
  }
  return Default(message);
}

// Activated, the form gives the focus back to the control that had it, so
// that switching programs is no change of control.
LRESULT TFormWindow::OnActivate(const TMessage& message) {
  LRESULT result = Default(message);
  HWND focus = GetFocus();
  if (LOWORD(message.WParam) != WA_INACTIVE && (!focus || !IsChild(handle_, focus))) {
    TControl* active = form_.ActiveControl();
    HWND last = active ? WindowHandle(*active) : nullptr;
    if (last && IsWindowVisible(last) && IsWindowEnabled(last))
      SetFocus(last);
    else if (HWND first = GetNextDlgTabItem(handle_, nullptr, FALSE))
      SetFocus(first);
  }
  return result;
}

// The control whose window, or a window inside it, took the focus.
LRESULT TFormWindow::OnFocusMoved(const TMessage& message) {
  for (HWND window = reinterpret_cast<HWND>(message.WParam); window && window != handle_;
       window = GetParent(window))
    if (TControlWindow* control = ControlWindowOf(window)) {
      form_.UserFocused(control->Control());
      break;
    }
  return 0;
}

LRESULT TFormWindow::OnGetDefId() {
  for (TComponent* component : form_.Components()) {
    auto* button = dynamic_cast<TButton*>(component);
    if (button && button->Default && WindowHandle(*button))
      return MAKELRESULT(GetDlgCtrlID(WindowHandle(*button)), DC_HASDEFID);
  }
  return 0;
}

} // namespace

LRESULT CALLBACK TWindowTarget::StaticProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* target = reinterpret_cast<TWindowTarget*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!target)
    return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = target->WindowProc(window, message, wParam, lParam);
  if (message == WM_NCDESTROY)
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return result;
}

void RegisterTargetClass(HINSTANCE instance, const char* name, HICON icon) {
  WNDCLASSA existing;
  if (GetClassInfoA(instance, name, &existing))
    return;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TWindowTarget::StaticProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = icon;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  RegisterClassA(&windowClass);
}

std::unique_ptr<TPeer> CreateComponentPeer(TWin32Backend& backend, TComponent& component) {
  if (auto* form = dynamic_cast<TForm*>(&component))
    return std::make_unique<TFormWindow>(backend, *form);
  if (auto* label = dynamic_cast<TLabel*>(&component))
    return std::make_unique<TLabelWindow>(backend, *label);
  if (auto* button = dynamic_cast<TButton*>(&component))
    return std::make_unique<TButtonWindow>(backend, *button);
  if (auto* box = dynamic_cast<TCheckBox*>(&component))
    return std::make_unique<TCheckBoxWindow>(backend, *box);
  if (auto* edit = dynamic_cast<TEdit*>(&component))
    return std::make_unique<TEditWindow>(backend, *edit);
  if (auto* combo = dynamic_cast<TComboBox*>(&component))
    return std::make_unique<TComboBoxWindow>(backend, *combo);
  if (auto* panel = dynamic_cast<TPanel*>(&component))
    return std::make_unique<TPanelWindow>(backend, *panel);
  if (auto* bar = dynamic_cast<TStatusBar*>(&component))
    return std::make_unique<TStatusBarWindow>(backend, *bar);
  if (auto* upDown = dynamic_cast<TUpDown*>(&component))
    return std::make_unique<TUpDownWindow>(backend, *upDown);
  if (auto* timer = dynamic_cast<TTimer*>(&component))
    return std::make_unique<TTimerPeer>(*timer);
  if (auto* menu = dynamic_cast<TMainMenu*>(&component))
    return std::make_unique<TMainMenuPeer>(backend, *menu);
  if (auto* popup = dynamic_cast<TPopupMenu*>(&component))
    return std::make_unique<TPopupMenuPeer>(backend, *popup);
  return nullptr;
}

bool RouteNotification(TWin32Backend& backend, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT& result) {
  result = 0;
  switch (message) {
  case WM_COMMAND:
    if (lParam) {
      if (TControlWindow* child = ControlWindowOf(reinterpret_cast<HWND>(lParam)))
        child->OnCommand(HIWORD(wParam));
    } else if (HIWORD(wParam) == 0) {
      backend.MenuCommand(LOWORD(wParam));
    }
    return true;
  case WM_INITMENUPOPUP:
    backend.ShowMenuChecks(reinterpret_cast<HMENU>(wParam));
    return true;
  case WM_NOTIFY: {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (TControlWindow* child = ControlWindowOf(header->hwndFrom))
      child->OnNotify(*header);
    return true;
  }
  case WM_HSCROLL:
  case WM_VSCROLL:
    if (TControlWindow* child = ControlWindowOf(reinterpret_cast<HWND>(lParam))) {
      child->OnScroll();
      return true;
    }
    return false;
  default:
    return false;
  }
}

void PopupMenuAt(TPopupMenu& menu, int x, int y) {
  if (auto* peer = static_cast<TPopupMenuPeer*>(menu.Peer()))
    peer->Popup(x, y);
}

TFontHandle CreateFormFont(const TFont& font) {
  return TFontHandle(CreateFontA(-font.Height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                 SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str()));
}

HWND WindowHandle(const TControl& control) {
  if (!control.Peer()) {
    TForm* form = control.Owner();
    if (!form)
      form = const_cast<TForm*>(dynamic_cast<const TForm*>(&control));
    if (form)
      form->HandleNeeded();
  }
  auto* windowed = dynamic_cast<TWindowed*>(control.Peer());
  return windowed ? windowed->Handle() : nullptr;
}
