// The application object: a hidden owner window of class "TApplication" that
// carries the program's title and task-bar button, and the message loop.
#pragma once

#include <windows.h>

#include <string>

class TApplication {
public:
  explicit TApplication(HINSTANCE instance);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  HINSTANCE Instance() const { return instance_; }
  HWND Handle() const { return handle_; }

  void SetTitle(const std::string& title);
  const std::string& Title() const { return title_; }

  // Runs the message loop until the main window ends it or Terminate is called.
  int Run();
  void Terminate();

private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE instance_;
  HWND handle_ = nullptr;
  std::string title_;
};
