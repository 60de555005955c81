// A top-level form owned by the application window. Closing the main form
// ends the message loop.
#pragma once

#include <windows.h>

#include <string>

#include "clock/ui/Application_win.h"

struct TFormDesign {
  std::string ClassName; // the form's class, e.g. "TForm1"
  int Left = 0;
  int Top = 0;
  int ClientWidth = 0;
  int ClientHeight = 0;
};

class TForm {
public:
  TForm(TApplication& application, const TFormDesign& design);
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  HWND Handle() const { return handle_; }
  void SetCaption(const std::string& caption);
  void Show();

protected:
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
  static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  TApplication& application_;
  std::string className_;
  HWND handle_ = nullptr;
};
