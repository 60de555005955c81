// The two window procedures of TAnimateForm. Each window keeps the one it
// had before, which gets every message the component leaves alone; the
// toolkit's own binding of the window to its object stays untouched.
#include <windows.h>

#include "clock/SysCtrls/TAnimateForm.h"
#include "clock/ui/Backend_win.h"

namespace {

const char kPeerProperty[] = "VelmoraAnimateForm";

class TAnimateFormPeer : public TPeer {
public:
  TAnimateFormPeer(TAnimateForm& component, HWND mainWindow, HWND applicationWindow)
      : component_(component), mainWindow_(mainWindow), applicationWindow_(applicationWindow) {
    component_.SetWindows(mainWindow, applicationWindow);
    previousMain_ = Replace(mainWindow, MainProc);
    previousApplication_ = Replace(applicationWindow, ApplicationProc);
  }
  ~TAnimateFormPeer() override {
    Restore(mainWindow_, previousMain_);
    Restore(applicationWindow_, previousApplication_);
    component_.SetWindows(nullptr, nullptr);
  }
  TAnimateFormPeer(const TAnimateFormPeer&) = delete;
  TAnimateFormPeer& operator=(const TAnimateFormPeer&) = delete;

  void Changed(TChange) override {}

private:
  WNDPROC Replace(HWND window, WNDPROC procedure) {
    SetPropA(window, kPeerProperty, this);
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
  }
  static void Restore(HWND window, WNDPROC previous) {
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    RemovePropA(window, kPeerProperty);
  }

  static LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* peer = static_cast<TAnimateFormPeer*>(GetPropA(window, kPeerProperty));
    return peer->Handle(&TAnimateForm::MainWindowMessage, peer->previousMain_, window, message,
                        wParam, lParam);
  }
  static LRESULT CALLBACK ApplicationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* peer = static_cast<TAnimateFormPeer*>(GetPropA(window, kPeerProperty));
    return peer->Handle(&TAnimateForm::ApplicationWindowMessage, peer->previousApplication_, window,
                        message, wParam, lParam);
  }

  LRESULT Handle(bool (TAnimateForm::*handler)(TMessage&), WNDPROC previous, HWND window,
                 UINT message, WPARAM wParam, LPARAM lParam) {
    if (HasApplication()) {
      TMessage received;
      received.Msg = message;
      received.WParam = wParam;
      received.LParam = lParam;
      if ((component_.*handler)(received))
        return received.Result;
    }
    return CallWindowProcA(previous, window, message, wParam, lParam);
  }

  TAnimateForm& component_;
  HWND mainWindow_;
  HWND applicationWindow_;
  WNDPROC previousMain_ = nullptr;
  WNDPROC previousApplication_ = nullptr;
};

} // namespace

std::unique_ptr<TPeer> ReplaceWindowProcedures(TAnimateForm& component) {
  if (!HasApplication())
    return nullptr;
  auto* backend = dynamic_cast<TWin32Backend*>(&Application().Backend());
  HWND mainWindow = WindowHandle(*component.Owner());
  if (!backend || !mainWindow)
    return nullptr;
  return std::make_unique<TAnimateFormPeer>(component, mainWindow, backend->ApplicationWindow());
}
