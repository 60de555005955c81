#include "clock/ui/Application_win.h"

#include <stdexcept>

namespace {
const char kClassName[] = "TApplication";
}

TApplication::TApplication(HINSTANCE instance) : instance_(instance) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, "MAINICON");
  windowClass.lpszClassName = kClassName;
  if (!RegisterClassA(&windowClass))
    throw std::runtime_error("RegisterClass TApplication failed");

  // Zero size in the middle of the screen: the window exists only for its
  // task-bar button and as the owner of the main window.
  int x = GetSystemMetrics(SM_CXSCREEN) / 2;
  int y = GetSystemMetrics(SM_CYSCREEN) / 2;
  handle_ = CreateWindowExA(0, kClassName, "",
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            x, y, 0, 0, nullptr, nullptr, instance, nullptr);
  if (!handle_)
    throw std::runtime_error("CreateWindow TApplication failed");
}

TApplication::~TApplication() {
  if (handle_)
    DestroyWindow(handle_);
  UnregisterClassA(kClassName, instance_);
}

void TApplication::SetTitle(const std::string& title) {
  title_ = title;
  SetWindowTextA(handle_, title_.c_str());
}

int TApplication::Run() {
  ShowWindow(handle_, SW_SHOWNOACTIVATE);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

void TApplication::Terminate() {
  PostQuitMessage(0);
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}
