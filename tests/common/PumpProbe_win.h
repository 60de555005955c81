// Posts a window message whose handler runs the given function, to a
// message-only window of the calling thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

namespace pump {

inline LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_APP) {
    std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lParam));
    (*call)();
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

inline HWND ProbeWindow() {
  thread_local HWND window = [] {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ProbeProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "HttpPumpProbe";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "HttpPumpProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
  }();
  return window;
}

inline void Post(std::function<void()> message) {
  auto* call = new std::function<void()>(std::move(message));
  PostMessageA(ProbeWindow(), WM_APP, 0, reinterpret_cast<LPARAM>(call));
}

} // namespace pump
