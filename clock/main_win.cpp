#include <windows.h>

#include <cstdlib>
#include <exception>

#include "clock/HTTPDem.h"
#include "clock/SysCtrls/TSingleInstance.h"
#include "clock/ui/Backend_win.h"

namespace {
const char kApplicationTitle[] = "Velmora";
} // namespace

// The library's own end for an exception nobody catches writes it out
// demangled, which takes the whole demangler into the program, a tenth of
// its size. The program catches at every dispatch point and below WinMain,
// and a GUI program has nowhere to write to: a plain end does.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
} // namespace __gnu_cxx

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    // The backend initialises COM for this thread (the shell link needs it)
    // and releases it at the end.
    TWin32Backend backend(instance);
    TApplication application(backend);
    application.SetTitle(kApplicationTitle);
    // The main window shows itself at the end of its creation.
    application.ShowMainForm = false;
    try {
      application.CreateForm<TForm1>();
    } catch (const std::exception& error) {
      // The window could not be made, e.g. another copy runs and the guard
      // is set to raise: report it and end without a message loop.
      application.ShowException(error.what());
      return 1;
    }
    application.Run();
  } catch (const std::exception& error) {
    // Only the toolkit's own start can fail here; handlers report their own.
    MessageBoxA(nullptr, error.what(), kApplicationTitle, MB_ICONSTOP | MB_OK);
    return 1;
  }
  // The program's last act: a copy that found another brings it forward.
  TSingleInstance::ActivateFirstInstance();
  return 0;
}
