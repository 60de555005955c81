#include "clock/ui/Form_win.h"

#include <stdexcept>

namespace {
// Fixed single border with system menu and minimise box, no maximise box.
const DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
} // namespace

TForm::TForm(TApplication& application, const TFormDesign& design)
    : application_(application), className_(design.ClassName) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = StaticWindowProc;
  windowClass.hInstance = application.Instance();
  windowClass.hIcon = LoadIconA(application.Instance(), "MAINICON");
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className_.c_str();
  if (!RegisterClassA(&windowClass))
    throw std::runtime_error("RegisterClass " + className_ + " failed");

  RECT bounds = {design.Left, design.Top, design.Left + design.ClientWidth,
                 design.Top + design.ClientHeight};
  AdjustWindowRectEx(&bounds, kFormStyle, FALSE, 0);
  handle_ = CreateWindowExA(0, className_.c_str(), "", kFormStyle, bounds.left, bounds.top,
                            bounds.right - bounds.left, bounds.bottom - bounds.top,
                            application.Handle(), nullptr, application.Instance(), this);
  if (!handle_)
    throw std::runtime_error("CreateWindow " + className_ + " failed");
}

TForm::~TForm() {
  if (handle_)
    DestroyWindow(handle_);
  UnregisterClassA(className_.c_str(), application_.Instance());
}

void TForm::SetCaption(const std::string& caption) {
  SetWindowTextA(handle_, caption.c_str());
}

void TForm::Show() {
  ShowWindow(handle_, SW_SHOWNORMAL);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_CLOSE:
    application_.Terminate();
    return 0;
  default:
    return DefWindowProcA(handle_, message, wParam, lParam);
  }
}

// Binds the object to its window at WM_NCCREATE, from lpCreateParams.
LRESULT CALLBACK TForm::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    auto* form = static_cast<TForm*>(create->lpCreateParams);
    form->handle_ = window;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!form)
    return DefWindowProcA(window, message, wParam, lParam);
  return form->WndProc(message, wParam, lParam);
}
