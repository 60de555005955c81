// The time update: one HEAD exchange with the chosen site, the decision on
// what came back, and its effects on the clock, the window and the tray.
#include "clock/HTTPDem.h"

#include <algorithm>
#include <string>

#include "clock/PreciseTime.h"
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
const char kContradictedNote[] = "(高精度の測定は応答の時刻が食い違ったため通常の精度)";

// The precise mode's requests: the run's own client on the run's URL, its
// counter, and waits that serve the window as the exchange's waits do.
class TClientTimeProbe : public TTimeProbe {
public:
  TClientTimeProbe(TIdHTTP& client, const std::string& url) : client_(client), url_(url) {}

  TTimeAnswer Ask() override {
    client_.HeadRequest(url_);
    TTimeAnswer answer;
    answer.StatusLine = client_.StatusLine();
    answer.Headers = client_.ResponseHeaders().Lines;
    answer.SentUs = client_.RequestSentUs();
    answer.FirstByteUs = client_.AnswerStartUs();
    return answer;
  }

  std::int64_t Microseconds() override { return client_.SocketLayer->Microseconds(); }

  void Wait(std::int64_t microseconds) override {
    const std::int64_t slice = std::int64_t{TIdAntiFreeze::SliceMilliseconds()} * 1000;
    platform::SystemClock().WaitForInput(
        static_cast<uint32_t>(std::min(microseconds, slice) / 1000));
    TIdAntiFreeze::DoProcess(true);
  }

private:
  TIdHTTP& client_;
  const std::string& url_;
};

// The system timer at its finest for as long as the measurement runs.
class TFineTimer {
public:
  TFineTimer() { platform::SystemClock().SetFineTimer(true); }
  ~TFineTimer() { platform::SystemClock().SetFineTimer(false); }
  TFineTimer(const TFineTimer&) = delete;
  TFineTimer& operator=(const TFineTimer&) = delete;
};

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
  P1.OnClick = [this](TObject* Sender) { P1Click(Sender); };
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
  // Read once: the menu stays usable while the exchange waits.
  const bool preciseMode = P1.Checked();
  inputs.StartTicks = clock.TickCount();
  bool socketFailed = false;
  std::string socketError;
  TPreciseResult precise;
  try {
    if (preciseMode) {
      TClientTimeProbe probe(IdHTTP1, url);
      TFineTimer fineTimer;
      precise = MeasureServerClock(probe);
    } else {
      IdHTTP1.HeadRequest(url);
    }
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

  // A precise measurement that ended by itself: measured, or left to the
  // first answer alone, as the ordinary exchange would have taken it.
  const bool preciseEnded = preciseMode && !socketFailed;
  const bool measured = preciseEnded && precise.End == peMeasured;
  inputs.StatusLine = preciseEnded ? precise.First.StatusLine : IdHTTP1.StatusLine();
  inputs.ResponseHeaders = preciseEnded ? precise.First.Headers : IdHTTP1.ResponseHeaders().Lines;
  // The counter is read with the local clock: the measured server time is
  // taken for that instant.
  const std::int64_t decisionUs = measured ? IdHTTP1.SocketLayer->Microseconds() : 0;
  inputs.LocalClock = CalendarTimeToDateTime(clock.LocalTime());
  inputs.ConversionBias = LocalZoneBias();
  inputs.ForceSummerTime = CheckBox3.Checked();
  inputs.SummerTimeAvailable = CheckBox3.Enabled();
  inputs.CorrectionSecondsText = Edit7.Text();
  inputs.CorrectionSign = ComboBox1.ItemIndex();
  inputs.LimitDeviation = CheckBox7.Checked();
  inputs.MaxDeviationSecondsText = Edit6.Text();
  inputs.EndTicks = clock.TickCount();
  preciseDecisionUs_.reset();
  if (measured) {
    // Nothing is added for the exchange: the measurement has taken it out.
    inputs.StartTicks = inputs.EndTicks;
    inputs.MeasuredServerGmt =
        CalendarMillisecondsToDateTime(RoundedMilliseconds(decisionUs + precise.OffsetUs));
    preciseDecisionUs_ = decisionUs;
  }
  UpdateResult result = DecideUpdate(inputs, platform::SystemInfo().DecimalSeparator());
  if (preciseEnded && precise.End == peContradicted)
    result.StatusText += kContradictedNote;
  ApplyOutcome(result);
}

void TForm1::ApplyOutcome(const UpdateResult& result) {
  switch (result.Outcome) {
  case uoSet: {
    Timer3.SetEnabled(false);
    uint32_t error = 0;
    if (!platform::SystemClock().SetLocalTime(NewLocalTimeNow(result), error)) {
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

CalendarTime TForm1::NewLocalTimeNow(const UpdateResult& result) {
  if (!preciseDecisionUs_)
    return result.NewLocalTime;
  // The time since the decision counts too: it is set to the millisecond.
  const std::int64_t since = IdHTTP1.SocketLayer->Microseconds() - *preciseDecisionUs_;
  return CalendarMillisecondsToCalendarTime(
      CalendarTimeToCalendarMilliseconds(result.NewLocalTime) + RoundedMilliseconds(since));
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
