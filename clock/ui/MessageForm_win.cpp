#include "clock/ui/MessageForm_win.h"

#include <algorithm>
#include <vector>

#include "clock/ui/Handles_win.h"
#include "clock/ui/Peers_win.h"

namespace {

const char kMessageFormClass[] = "TMessageForm";
const DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
const DWORD kExStyle = WS_EX_DLGMODALFRAME;
const int kMargin = 16;
const int kButtonWidth = 75;
const int kButtonHeight = 25;
const int kMaxTextWidth = 400;
const UINT kTextFormat = DT_LEFT | DT_WORDBREAK | DT_NOPREFIX;

class TMessageForm : public TWindowTarget {
public:
  TMessageForm(HINSTANCE instance, HWND owner, const TFont& font, const std::string& caption,
               const std::string& text);
  void Run();

  LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
  LRESULT OnCommand(WPARAM wParam);
  LRESULT OnPaint(HWND window);
  void Close();

  std::string text_;
  TFontHandle font_;
  RECT textBounds_ = {};
  TWindow window_;
  bool closed_ = false;
};

TMessageForm::TMessageForm(HINSTANCE instance, HWND owner, const TFont& font,
                           const std::string& caption, const std::string& text)
    : text_(text) {
  if (!font.Name.empty())
    font_ = CreateFormFont(font);
  HFONT shown = font_ ? font_.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  TScreenDC dc;
  HGDIOBJ old = SelectObject(dc.Get(), shown);
  RECT measured = {0, 0, kMaxTextWidth, 0};
  DrawTextA(dc.Get(), text_.c_str(), static_cast<int>(text_.size()), &measured,
            kTextFormat | DT_CALCRECT);
  SelectObject(dc.Get(), old);

  int clientWidth = std::max<int>(measured.right + 2 * kMargin, kButtonWidth + 2 * kMargin);
  int textHeight = measured.bottom;
  int clientHeight = kMargin + textHeight + kMargin + kButtonHeight + kMargin / 2;
  textBounds_ = {kMargin, kMargin, kMargin + measured.right, kMargin + textHeight};

  RECT outer = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
  int width = outer.right - outer.left;
  int height = outer.bottom - outer.top;
  int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  window_.Reset(CreateWindowExA(kExStyle, kMessageFormClass, caption.c_str(), kStyle, x, y, width,
                                height, owner, nullptr, instance,
                                static_cast<TWindowTarget*>(this)));
  if (!window_)
    return;
  HWND button = CreateWindowExA(
      0, "TButton", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
      (clientWidth - kButtonWidth) / 2, kMargin + textHeight + kMargin, kButtonWidth, kButtonHeight,
      window_.Get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
  SendMessageA(window_.Get(), WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
  SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(shown), FALSE);
}

BOOL CALLBACK DisableWindow(HWND window, LPARAM lParam) {
  auto* disabled = reinterpret_cast<std::vector<HWND>*>(lParam);
  if (IsWindowVisible(window) && IsWindowEnabled(window)) {
    EnableWindow(window, FALSE);
    disabled->push_back(window);
  }
  return TRUE;
}

void TMessageForm::Run() {
  if (!window_)
    return;
  // Modal: the program's other windows take no input until the message
  // closes, while their messages (timers, painting) keep flowing.
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  ShowWindow(window_.Get(), SW_SHOW);
  SetForegroundWindow(window_.Get());
  if (HWND button = GetDlgItem(window_.Get(), IDOK))
    SetFocus(button);

  MSG message;
  while (!closed_) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == -1)
      break;
    if (got == 0) {
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsDialogMessageA(window_.Get(), &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  // Enabled again before the message goes, so that activation returns to
  // the window below.
  for (HWND window : disabled)
    if (IsWindow(window))
      EnableWindow(window, TRUE);
  SetWindowLongPtrA(window_.Get(), GWLP_USERDATA, 0);
  window_.Reset();
}

LRESULT TMessageForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_COMMAND:
    return OnCommand(wParam);
  case WM_CLOSE:
    Close();
    return 0;
  case WM_PAINT:
    return OnPaint(window);
  default:
    return DefWindowProcA(window, message, wParam, lParam);
  }
}

LRESULT TMessageForm::OnCommand(WPARAM wParam) {
  WORD id = LOWORD(wParam);
  if ((id == IDOK || id == IDCANCEL) && HIWORD(wParam) == BN_CLICKED)
    Close();
  return 0;
}

void TMessageForm::Close() {
  closed_ = true;
  // A click sent from another thread or program is handled inside
  // GetMessage, which returns only for a posted message.
  PostMessageA(window_.Get(), WM_NULL, 0, 0);
}

LRESULT TMessageForm::OnPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  HFONT font = font_ ? font_.Get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT bounds = textBounds_;
  DrawTextA(dc, text_.c_str(), static_cast<int>(text_.size()), &bounds, kTextFormat);
  SelectObject(dc, old);
  EndPaint(window, &paint);
  return 0;
}

} // namespace

void RegisterMessageForm(HINSTANCE instance) {
  RegisterTargetClass(instance, kMessageFormClass, nullptr);
}

void RunMessageForm(HINSTANCE instance, HWND owner, const TFont& font, const std::string& caption,
                    const std::string& text) {
  TMessageForm form(instance, owner, font, caption, text);
  form.Run();
}
