#include <windows.h>

#include "clock/ui/Application_win.h"
#include "clock/ui/Form_win.h"

namespace {
const char kApplicationTitle[] = "Velmora";
const char kMainCaption[] = "Velmora Ver1.32";
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  try {
    TApplication application(instance);
    application.SetTitle(kApplicationTitle);
    TForm form(application, TFormDesign{"TForm1", 192, 109, 318, 397});
    form.SetCaption(kMainCaption);
    form.Show();
    return application.Run();
  } catch (const std::exception& error) {
    MessageBoxA(nullptr, error.what(), kApplicationTitle, MB_ICONSTOP | MB_OK);
    return 1;
  }
}
