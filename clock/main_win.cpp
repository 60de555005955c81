#include <windows.h>

#include <exception>

#include "clock/HTTPDem.h"
#include "clock/ui/Backend_win.h"

namespace {
const char kApplicationTitle[] = "Velmora";
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    TWin32Backend backend(instance);
    TApplication application(backend);
    application.SetTitle(kApplicationTitle);
    // The main window shows itself at the end of its creation.
    application.ShowMainForm = false;
    application.CreateForm<TForm1>();
    application.Run();
    return 0;
  } catch (const std::exception& error) {
    // Only the toolkit's own start can fail here; handlers report their own.
    MessageBoxA(nullptr, error.what(), kApplicationTitle, MB_ICONSTOP | MB_OK);
    return 1;
  }
}
