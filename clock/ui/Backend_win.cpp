#include "clock/ui/Backend_win.h"

#include <commctrl.h>

#include <stdexcept>

#include "clock/ui/MessageForm_win.h"
#include "clock/ui/Peers_win.h"

namespace {

const char kApplicationClass[] = "TApplication";

// Our names for the system's controls, so that other programs find them by
// the toolkit's class names.
void RegisterSuperclass(HINSTANCE instance, const char* systemClass, const char* name) {
  WNDCLASSEXA windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  if (GetClassInfoExA(instance, name, &windowClass))
    return;
  if (!GetClassInfoExA(nullptr, systemClass, &windowClass))
    throw std::runtime_error(std::string("no window class ") + systemClass);
  windowClass.hInstance = instance;
  windowClass.lpszClassName = name;
  windowClass.style &= ~CS_GLOBALCLASS;
  if (!RegisterClassExA(&windowClass))
    throw std::runtime_error(std::string("RegisterClass ") + name + " failed");
}

// Every focus change on the GUI thread passes here before it happens; the
// form hears of it from its queue, once the change is done.
LRESULT CALLBACK FocusHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_SETFOCUS && wParam) {
    HWND root = RootWindow(reinterpret_cast<HWND>(wParam));
    if (root && GetPropA(root, kFormProperty))
      PostMessageA(root, kFocusMovedMessage, wParam, 0);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TWin32Backend::TWin32Backend(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX controls = {};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&controls);

  RegisterSuperclass(instance, "BUTTON", "TButton");
  RegisterSuperclass(instance, "BUTTON", "TCheckBox");
  RegisterSuperclass(instance, "EDIT", "TEdit");
  RegisterSuperclass(instance, "COMBOBOX", "TComboBox");
  RegisterSuperclass(instance, "STATIC", "TLabel");
  RegisterSuperclass(instance, STATUSCLASSNAMEA, "TStatusBar");
  RegisterSuperclass(instance, UPDOWN_CLASSA, "TUpDown");
  RegisterMessageForm(instance);

  RegisterTargetClass(instance, kApplicationClass, LoadIconA(instance, "MAINICON"));

  // Zero size in the middle of the screen: the window exists for its
  // task-bar button and as the owner of every form.
  int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  applicationWindow_.Reset(
      CreateWindowExA(0, kApplicationClass, "",
                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                      0, 0, nullptr, nullptr, instance, static_cast<TWindowTarget*>(this)));
  if (!applicationWindow_)
    throw std::runtime_error("CreateWindow TApplication failed");
  ShowWindow(applicationWindow_.Get(), SW_SHOWNOACTIVATE);
  focusHook_.Reset(SetWindowsHookExA(WH_CBT, FocusHookProc, nullptr, GetCurrentThreadId()));
}

TWin32Backend::~TWin32Backend() {
  SetWindowLongPtrA(applicationWindow_.Get(), GWLP_USERDATA, 0);
}

std::unique_ptr<TPeer> TWin32Backend::CreatePeer(TComponent& component) {
  return CreateComponentPeer(*this, component);
}

void TWin32Backend::SetTitle(const std::string& title) {
  SetWindowTextA(applicationWindow_.Get(), title.c_str());
}

bool TWin32Backend::IsNavigation(MSG& message) {
  HWND root = RootWindow(message.hwnd);
  return root && GetPropA(root, kFormProperty) && IsDialogMessageA(root, &message);
}

bool TWin32Backend::HandleMessage() {
  MSG message;
  BOOL got = GetMessageA(&message, nullptr, 0, 0);
  if (got == 0 || got == -1)
    return false;
  if (!IsNavigation(message)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return true;
}

bool TWin32Backend::ProcessMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT)
      return false;
    if (!IsNavigation(message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return true;
}

void TWin32Backend::WaitForMessage(unsigned milliseconds) {
  MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void TWin32Backend::PostQuit() {
  PostQuitMessage(0);
}

// The application hides and shows its main form itself (TForm::Showing).
void TWin32Backend::Minimize() {
  ShowWindow(applicationWindow_.Get(), SW_MINIMIZE);
}

void TWin32Backend::Restore() {
  ShowWindow(applicationWindow_.Get(), SW_RESTORE);
  // A minimise that animated from a form's rectangle left the window that
  // size; it must not show as a blank window behind the forms.
  SetWindowPos(applicationWindow_.Get(), nullptr, GetSystemMetrics(SM_CXSCREEN) / 2,
               GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
  if (TForm* main = Application().MainForm())
    if (HWND window = WindowHandle(*main))
      SetForegroundWindow(window);
}

void TWin32Backend::SetTaskbarEntryVisible(bool visible) {
  ShowWindow(applicationWindow_.Get(), visible ? SW_SHOWNA : SW_HIDE);
}

namespace {

BOOL CALLBACK NormalizeTopMost(HWND window, LPARAM applicationWindow) {
  if (window != reinterpret_cast<HWND>(applicationWindow) && IsWindowVisible(window) &&
      (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return TRUE;
}

} // namespace

void TWin32Backend::NormalizeTopMosts() {
  // Every window of the program lives on this, the GUI thread.
  EnumThreadWindows(GetCurrentThreadId(), NormalizeTopMost,
                    reinterpret_cast<LPARAM>(applicationWindow_.Get()));
}

TPoint TWin32Backend::CursorPos() {
  POINT point = {};
  GetCursorPos(&point);
  return {point.x, point.y};
}

void TWin32Backend::Popup(TPopupMenu& menu, int x, int y) {
  PopupMenuAt(menu, x, y);
}

void TWin32Backend::ShowMessage(const std::string& caption, const std::string& text) {
  TForm* main = Application().MainForm();
  HWND owner = GetActiveWindow();
  if (!owner)
    owner = applicationWindow_.Get();
  TFont font = main ? main->Font : TFont{};
  RunMessageForm(instance_, owner, font, caption, text);
}

void TWin32Backend::ShowError(const std::string& caption, const std::string& text) {
  HWND owner = GetActiveWindow();
  MessageBoxA(owner ? owner : applicationWindow_.Get(), text.c_str(), caption.c_str(),
              MB_ICONSTOP | MB_OK);
}

UINT TWin32Backend::AddMenuCommand(TMenuItem& item) {
  UINT id = nextMenuCommand_++;
  menuCommands_[id] = &item;
  return id;
}

void TWin32Backend::RemoveMenuCommand(UINT id) {
  menuCommands_.erase(id);
}

void TWin32Backend::MenuCommand(UINT id) {
  auto found = menuCommands_.find(id);
  if (found != menuCommands_.end())
    found->second->UserClick();
}

void TWin32Backend::ShowMenuChecks(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    auto found = menuCommands_.find(GetMenuItemID(menu, i));
    if (found != menuCommands_.end())
      CheckMenuItem(menu, static_cast<UINT>(i),
                    MF_BYPOSITION | (found->second->Checked() ? MF_CHECKED : MF_UNCHECKED));
  }
}

LRESULT TWin32Backend::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!HasApplication())
    return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
  case WM_SYSCOMMAND:
    return OnSysCommand(wParam, lParam);
  case WM_ACTIVATE:
    return OnActivate(wParam);
  case WM_CLOSE:
    return OnClose();
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT TWin32Backend::OnClose() {
  if (TForm* main = Application().MainForm())
    main->UserClose();
  return 0;
}

LRESULT TWin32Backend::OnSysCommand(WPARAM command, LPARAM lParam) {
  switch (command & 0xFFF0) {
  case SC_MINIMIZE:
    Application().Minimize();
    return 0;
  case SC_RESTORE:
    Application().Restore();
    return 0;
  default:
    return DefWindowProcA(applicationWindow_.Get(), WM_SYSCOMMAND, command, lParam);
  }
}

LRESULT TWin32Backend::OnActivate(WPARAM state) {
  // The task-bar button activates this window; the user means the main form.
  TForm* main = Application().MainForm();
  HWND form = main ? WindowHandle(*main) : nullptr;
  if (LOWORD(state) != WA_INACTIVE && form && IsWindowVisible(form) && IsWindowEnabled(form))
    SetActiveWindow(form);
  return 0;
}
