// The commands that are not settings: ending the program, updating now,
// the read-me file, the author's home page, the start-up shortcut, and the
// registration as a service.
#include "clock/HTTPDem.h"

#include "clock/FilePaths.h"
#include "clock/ServiceRegistration.h"
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

void TForm1::N2Click(TObject*) {
  ShellLink1.CreateLink();
  ShowMessage("ｽﾀｰﾄｱｯﾌﾟに登録しました。");
}

void TForm1::K1Click(TObject*) {
  ShellLink1.DeleteLink();
  ShowMessage("ｽﾀｰﾄｱｯﾌﾟから削除しました。");
}

void TForm1::P1Click(TObject*) {
  P1.SetChecked(!P1.Checked());
}

// The free functions, which the handlers' own names would hide.
void TForm1::Button2Click(TObject*) {
  ::InstallService([](const std::string& text) { ShowMessage(text); });
}

void TForm1::Button4Click(TObject*) {
  ::RemoveService([](const std::string& text) { ShowMessage(text); });
}
