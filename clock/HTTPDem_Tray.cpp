// Residence in the notification area: the tray icon, the three timers, the
// clock display, the dialog closer and the tray icon's mouse events.
#include "clock/HTTPDem.h"

#include "clock/platform/SystemClock.h"
#include "clock/platform/SystemInfo.h"
#include "clock/platform/WindowMessages.h"
#include "clock/time/NumberText.h"
#include "clock/ui/WindowHandles.h"

namespace {
const unsigned kMouseLeftDoubleClick = 0x203;
const unsigned kMouseRightDown = 0x204;
const unsigned kButtonDown = 0x201;
const unsigned kButtonUp = 0x202;
// The point x 10, y 0 of the button, as the mouse messages carry it.
const std::intptr_t kButtonPoint = 10;
const unsigned kPressPauseMs = 100;
const unsigned kMillisecondsPerHour = 3600000;
} // namespace

void TForm1::AddTrayIcon(const char* iconName) {
  trayIcon_.Add(FormWindowHandle(*this), iconName, TrayTipText);
}

void TForm1::ModifyTrayIcon(const char* iconName) {
  trayIcon_.Modify(iconName, TrayTipText);
}

void TForm1::RemoveTrayIcon() {
  trayIcon_.Remove(FormWindowHandle(*this));
}

void TForm1::CheckBox6Click(TObject*) {
  if (CheckBox6.Checked()) {
    Resident = true;
    const int hours = StrToInt(Edit5.Text());
    Timer2.SetInterval(static_cast<unsigned>(hours) * kMillisecondsPerHour);
    Timer2.SetEnabled(true);
    Timer3.SetEnabled(true);
    Edit5.SetEnabled(true);
    UpDown1.SetEnabled(true);
    Label8.SetEnabled(true);
    AddTrayIcon("ICON1");
  } else {
    Resident = false;
    Timer2.SetEnabled(false);
    Timer3.SetEnabled(false);
    Edit5.SetEnabled(false);
    UpDown1.SetEnabled(false);
    Label8.SetEnabled(false);
    RemoveTrayIcon();
  }
}

void TForm1::Edit5Exit(TObject*) {
  const int hours = StrToInt(Edit5.Text());
  if (hours < 1 || hours > 168)
    Edit5.SetText("8");
}

void TForm1::Timer1Timer(TObject*) {
  ShowClock();
}

void TForm1::Timer2Timer(TObject*) {
  Button1Click(this);
}

void TForm1::Timer3Timer(TObject*) {
  DismissOpenDialog();
  if (Resident && Button1.Enabled())
    AddTrayIcon("ICON1");
}

void TForm1::ShowClock() {
  const CalendarTime now = platform::SystemClock().LocalTime();
  Label1.SetText(std::to_string(now.Year) + "/" + std::to_string(now.Month) + "/" +
                 std::to_string(now.Day));
  Label4.SetText(std::to_string(now.Hour) + ":" + std::to_string(now.Minute) + ":" +
                 std::to_string(now.Second));
}

void TForm1::DismissOpenDialog() {
  platform::TWindowMessages& windows = platform::WindowMessages();
  platform::WindowHandle button = nullptr;
  if (platform::WindowHandle dialog = windows.FindTopLevel("TMessageForm", kMainCaption))
    button = windows.FindChild(dialog, "TButton");
  if (button)
    windows.Send(button, kButtonDown, 0, kButtonPoint);
  // The pause comes on every tick, found or not.
  platform::SystemInfo().Sleep(kPressPauseMs);
  if (button)
    windows.Send(button, kButtonUp, 0, kButtonPoint);
}

void TForm1::HideTaskbarEntry(TObject*) {
  if (Resident)
    Application().SetTaskbarEntryVisible(false);
}

void TForm1::Open1Click(TObject*) {
  Timer1.SetEnabled(true);
  Application().Restore();
}

void TForm1::WndProc(TMessage& message) {
  if (message.Msg != TrayCallbackMessage) {
    TForm::WndProc(message);
    return;
  }
  switch (static_cast<unsigned>(message.LParam)) {
  case kMouseLeftDoubleClick:
    SetForeground();
    if (Button1.OnClick)
      Button1.OnClick(this);
    break;
  case kMouseRightDown: {
    SetForeground();
    const TPoint cursor = Application().CursorPos();
    PopupMenu1.Popup(cursor.X, cursor.Y);
    break;
  }
  default:
    break;
  }
}
