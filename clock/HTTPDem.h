// The clock program's main window: its controls by their design names, in
// the order they are laid out, its timers and menus, and its window-level
// fields.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "clock/Settings.h"
#include "clock/SysCtrls/TAnimateForm.h"
#include "clock/SysCtrls/TShellLink.h"
#include "clock/SysCtrls/TSingleInstance.h"
#include "clock/TrayIcon.h"
#include "clock/UpdateDecision.h"
#include "clock/net/TIdAntiFreeze.h"
#include "clock/net/TIdHTTP.h"
#include "clock/ui/Forms.h"

class TForm1 : public TForm {
public:
  TForm1();

  // Top band.
  TPanel Panel3;
  TLabel Label7;
  TLabel Label1;
  TLabel Label4;
  TButton Button1;

  // Connection band.
  TPanel Panel2;
  TLabel Label13;
  TComboBox ComboBox3;
  TButton Button3;
  TLabel Label10;
  TComboBox ComboBox2;
  TCheckBox CheckBox1;
  TLabel Label5;
  TEdit Edit3;
  TLabel Label6;
  TEdit Edit4;
  TCheckBox CheckBox2;
  TLabel Label2;
  TEdit Edit1;
  TLabel Label3;
  TEdit Edit2;

  // Lower area.
  TCheckBox CheckBox4;
  TCheckBox CheckBox5;
  TButton Button2;
  TCheckBox CheckBox6;
  TEdit Edit5;
  TUpDown UpDown1;
  TLabel Label8;
  TButton Button4;
  TCheckBox CheckBox3;
  TCheckBox CheckBox7;
  TEdit Edit6;
  TLabel Label9;
  TLabel Label11;
  TComboBox ComboBox1;
  TEdit Edit7;
  TLabel Label12;

  TStatusBar StatusBar1;

  TTimer Timer1;
  TTimer Timer2;
  TTimer Timer3;

  TMainMenu MainMenu1;
  TMenuItem& N1;
  TMenuItem& N2;
  TMenuItem& K1;
  // Precise mode: the update measures the server's clock to the millisecond.
  TMenuItem& P1;
  TMenuItem& N3;
  TMenuItem& E1;
  TMenuItem& Help1;
  TMenuItem& ReadMeR1;
  TMenuItem& N4;
  TMenuItem& S1;

  TPopupMenu PopupMenu1;
  TMenuItem& E2;
  TMenuItem& N5;
  TMenuItem& K2;
  TMenuItem& Open1;

  TShellLink ShellLink1;
  TIdHTTP IdHTTP1;
  TIdAntiFreeze IdAntiFreeze1;
  TSingleInstance SingleInstance1;
  TAnimateForm AnimateForm1{this};

  std::string TrayTipText;
  std::string HttpVersion;
  bool SuppressErrorDialog = false;
  bool Resident = false;
  bool StartupMode = false;

  const char* ClassName() const override { return "TForm1"; }

  // Start-up and shutdown.
  void FormCreate(TObject* Sender);
  void FormClose(TObject* Sender);
  void FormDestroy(TObject* Sender);
  // Keeps the program's messages flowing for that long.
  void WaitProcessingMessages(uint32_t milliseconds);

  // Set.ini and ServerList.txt.
  void LoadClockSettings();
  void Button3Click(TObject* Sender);
  void SavePosition();

  // Proxy, protocol version and deviation limit.
  void CheckBox1Click(TObject* Sender);
  void CheckBox2Click(TObject* Sender);
  void ComboBox2Change(TObject* Sender);
  void CheckBox7Click(TObject* Sender);
  void ImportBrowserProxy();

  // The time update, and the client's progress in the status bar.
  void Button1Click(TObject* Sender);
  void IdHTTP1Status(TIdHTTP* ASender, TIdStatus AStatus, const std::string& AStatusText);
  void IdHTTP1Connected(TIdHTTP* Sender);

  // Residence: the tray icon, the timers, the clock display.
  void AddTrayIcon(const char* iconName);
  void ModifyTrayIcon(const char* iconName);
  void RemoveTrayIcon();
  void CheckBox6Click(TObject* Sender);
  void Edit5Exit(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void Timer2Timer(TObject* Sender);
  void Timer3Timer(TObject* Sender);
  void ShowClock();
  void DismissOpenDialog();
  void HideTaskbarEntry(TObject* Sender);
  void Open1Click(TObject* Sender);

  // Menu commands.
  void E1Click(TObject* Sender);
  void K2Click(TObject* Sender);
  void ReadMeR1Click(TObject* Sender);
  void S1Click(TObject* Sender);
  void N2Click(TObject* Sender);
  void K1Click(TObject* Sender);
  void P1Click(TObject* Sender);

  // Registration of the program itself as a service; no control shows the
  // two buttons.
  void Button2Click(TObject* Sender);
  void Button4Click(TObject* Sender);

protected:
  // A window whose guard acts otherwise when another copy runs.
  explicit TForm1(TDupInstAction duplicateAction);

  // Takes the tray icon's callback message.
  void WndProc(TMessage& message) override;

private:
  bool StartedForStartup() const;

  // Seeded once by FormCreate; draws the site when none is stored.
  TRandom random_;

  void BindRunHandlers();
  void RunUpdate();
  void ApplyOutcome(const UpdateResult& result);
  // The new local time as of now: a precise update adds the time since its
  // decision.
  CalendarTime NewLocalTimeNow(const UpdateResult& result);
  // The success or refusal shown in the tray, the status bar and a dialog.
  void ShowResult(const char* residentIcon, const UpdateResult& result);
  void EndUpdate();

  TTrayIcon trayIcon_;
  // The load could not select the stored site; a save leaves it stored
  // while no site is selected.
  bool keepStoredWebSite_ = false;
  // Only one update at a time: the client serves one exchange.
  bool updateRunning_ = false;
  // A precise update's decision instant on the client's counter.
  std::optional<std::int64_t> preciseDecisionUs_;
};

// The main window's caption, the application title from its creation on.
extern const char kMainCaption[];
