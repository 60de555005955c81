// The menu commands that are not settings: ending the program, updating
// now, the read-me file and the author's home page.
#include "clock/HTTPDem.h"

#include "clock/FilePaths.h"
#include "clock/platform/FileSystem.h"
#include "clock/platform/Shell.h"
#include "clock/ui/WindowHandles.h"

namespace {
// The program's web page. There is none yet, so the address lies in a
// domain reserved for examples, which no one can register.
const char kAuthorHomePage[] = "http://velmora.example/";
} // namespace

void TForm1::E1Click(TObject*) {
  Application().Terminate();
}

void TForm1::K2Click(TObject*) {
  Button1Click(this);
}

void TForm1::ReadMeR1Click(TObject*) {
  platform::Shell().Execute(ApplicationWindowHandle(), "open", "ReadMe.txt", "", ProgramFolder(),
                            platform::ShowCommandShow);
}

void TForm1::S1Click(TObject*) {
  platform::Shell().Execute(ApplicationWindowHandle(), "open", kAuthorHomePage, "",
                            platform::FileSystem().CurrentDirectory(), platform::ShowCommandShow);
}
