// The time update: one HEAD exchange with the chosen site, the decision on
// what came back, and its effects on the clock, the window and the tray.
#include "clock/HTTPDem.h"

#include <string>

#include "clock/net/IdException.h"
#include "clock/platform/SystemClock.h"
#include "clock/platform/SystemInfo.h"
#include "clock/time/Calendar.h"
#include "clock/time/HttpDate.h"
#include "clock/time/NumberText.h"

namespace {
const char kStartingText[] = "時刻更新を開始します。";
const char kFailedText[] = "時刻更新は失敗しました。";
const unsigned kDialogPauseMs = 500;
} // namespace

void TForm1::BindRunHandlers() {
  Button1.OnClick = [this](TObject* Sender) { Button1Click(Sender); };
  IdHTTP1.OnStatus = [this](TIdHTTP* ASender, TIdStatus AStatus, const std::string& AStatusText) {
    IdHTTP1Status(ASender, AStatus, AStatusText);
  };
  IdHTTP1.OnConnected = [this](TIdHTTP* Sender) { IdHTTP1Connected(Sender); };

  CheckBox6.OnClick = [this](TObject* Sender) { CheckBox6Click(Sender); };
  Edit5.OnExit = [this](TObject* Sender) { Edit5Exit(Sender); };
  Timer1.OnTimer = [this](TObject* Sender) { Timer1Timer(Sender); };
  Timer2.OnTimer = [this](TObject* Sender) { Timer2Timer(Sender); };
  Timer3.OnTimer = [this](TObject* Sender) { Timer3Timer(Sender); };
  Open1.OnClick = [this](TObject* Sender) { Open1Click(Sender); };

  E1.OnClick = [this](TObject* Sender) { E1Click(Sender); };
  E2.OnClick = [this](TObject* Sender) { E1Click(Sender); };
  K2.OnClick = [this](TObject* Sender) { K2Click(Sender); };
  ReadMeR1.OnClick = [this](TObject* Sender) { ReadMeR1Click(Sender); };
  S1.OnClick = [this](TObject* Sender) { S1Click(Sender); };
  N2.OnClick = [this](TObject* Sender) { N2Click(Sender); };
  K1.OnClick = [this](TObject* Sender) { K1Click(Sender); };
  Button2.OnClick = [this](TObject* Sender) { Button2Click(Sender); };
  Button4.OnClick = [this](TObject* Sender) { Button4Click(Sender); };
}

void TForm1::Button1Click(TObject*) {
  // The tray, the pop-up menu and Timer2 call in while an exchange waits;
  // the client cannot serve a second one, so such a request is dropped.
  if (updateRunning_)
    return;
  updateRunning_ = true;
  try {
    RunUpdate();
  } catch (...) {
    // An abandoned run still gives the window back; the error goes on to
    // the error report.
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TForm1::RunUpdate() {
  Timer1.SetEnabled(false);
  Button1.SetEnabled(false);
  if (Resident)
    ModifyTrayIcon("NET");
  StatusBar1.SetSimpleText(kStartingText);

  if (CheckBox1.Checked()) {
    IdHTTP1.ProxyParams.ProxyServer = Edit3.Text();
    IdHTTP1.ProxyParams.ProxyPort = StrToInt(Edit4.Text());
    IdHTTP1.Request.Pragma = "no-cache";
  } else {
    IdHTTP1.ProxyParams.ProxyServer.clear();
    IdHTTP1.ProxyParams.ProxyPort = 8080;
  }
  if (CheckBox2.Checked()) {
    IdHTTP1.ProxyParams.ProxyUsername = Edit1.Text();
    IdHTTP1.ProxyParams.ProxyPassword = Edit2.Text();
  }
  if (HttpVersion == "pv1_1")
    IdHTTP1.ProtocolVersion = pv1_1;
  else if (HttpVersion == "pv1_0")
    IdHTTP1.ProtocolVersion = pv1_0;

  platform::TSystemClock& clock = platform::SystemClock();
  UpdateInputs inputs;
  inputs.ZoneBias = clock.TimeZoneInformation().Bias;

  const int site = ComboBox3.ItemIndex();
  const std::string url =
      "http://" + (site >= 0 ? ComboBox3.Items()[static_cast<size_t>(site)] : std::string());
  inputs.StartTicks = clock.TickCount();
  bool socketFailed = false;
  std::string socketError;
  try {
    IdHTTP1.HeadRequest(url);
  } catch (const EIdSocketError& error) {
    // The run goes on with what this exchange received before the failure.
    socketFailed = true;
    socketError = error.Message;
  } catch (...) {
    // An abandoned run must not leave a kept-alive connection behind: the
    // peer closes it while idle, and the next update would fail on it.
    IdHTTP1.CloseConnection();
    throw;
  }
  if (socketFailed && !SuppressErrorDialog) {
    Timer3.SetEnabled(true);
    platform::SystemInfo().Sleep(kDialogPauseMs);
    ShowMessage(socketError);
  }
  IdHTTP1.CloseConnection();

  inputs.StatusLine = IdHTTP1.StatusLine();
  inputs.ResponseHeaders = IdHTTP1.ResponseHeaders().Lines;
  inputs.LocalClock = CalendarTimeToDateTime(clock.LocalTime());
  inputs.ConversionBias = LocalZoneBias();
  inputs.ForceSummerTime = CheckBox3.Checked();
  inputs.SummerTimeAvailable = CheckBox3.Enabled();
  inputs.CorrectionSecondsText = Edit7.Text();
  inputs.CorrectionSign = ComboBox1.ItemIndex();
  inputs.LimitDeviation = CheckBox7.Checked();
  inputs.MaxDeviationSecondsText = Edit6.Text();
  inputs.EndTicks = clock.TickCount();
  ApplyOutcome(DecideUpdate(inputs, platform::SystemInfo().DecimalSeparator()));
}

void TForm1::ApplyOutcome(const UpdateResult& result) {
  switch (result.Outcome) {
  case uoSet: {
    Timer3.SetEnabled(false);
    uint32_t error = 0;
    if (!platform::SystemClock().SetLocalTime(result.NewLocalTime, error)) {
      // Refused (no right to set the clock): a failure, reported with the
      // system's reason, not a success.
      if (Resident)
        ModifyTrayIcon("ICON2");
      StatusBar1.SetSimpleText(kFailedText);
      Timer3.SetEnabled(true);
      Application().ShowException(platform::SystemInfo().ErrorText(error));
      return;
    }
    ShowResult("ICON1", result);
    TrayTipText = result.TipText;
    return;
  }
  case uoRefused:
    ShowResult("ICON2", result);
    return;
  case uoFailed:
    if (Resident)
      ModifyTrayIcon("ICON2");
    StatusBar1.SetSimpleText(result.StatusText);
    return;
  }
}

void TForm1::ShowResult(const char* residentIcon, const UpdateResult& result) {
  if (Resident)
    ModifyTrayIcon(residentIcon);
  else
    RemoveTrayIcon();
  StatusBar1.SetSimpleText(result.StatusText);
  Timer3.SetEnabled(true);
  // The pause comes also when the dialog is suppressed.
  platform::SystemInfo().Sleep(kDialogPauseMs);
  if (!CheckBox5.Checked())
    ShowMessage(result.DialogText);
}

void TForm1::EndUpdate() {
  updateRunning_ = false;
  Timer1.SetEnabled(true);
  if (StartupMode && !Resident) {
    Application().Minimize();
    Hide();
    SetWindowState(TWindowState::Minimized);
    Application().Terminate();
  }
  Button1.SetEnabled(true);
}

void TForm1::IdHTTP1Status(TIdHTTP*, TIdStatus, const std::string& AStatusText) {
  StatusBar1.SetSimpleText(AStatusText);
}

void TForm1::IdHTTP1Connected(TIdHTTP*) {
  StatusBar1.SetSimpleText("接続しました");
}
