// The clock program's main window: its controls by their design names, in
// the order they are laid out, its timers and menus, and its window-level
// fields.
#pragma once

#include <string>

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

  std::string TrayTipText;
  std::string HttpVersion;
  bool SuppressErrorDialog = false;
  bool Resident = false;
  bool StartupMode = false;

  const char* ClassName() const override { return "TForm1"; }

  void FormCreate(TObject* Sender);
};

// The main window's caption, the application title from its creation on.
extern const char kMainCaption[];
