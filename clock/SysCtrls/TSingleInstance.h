// TSingleInstance: lets one copy of the program run. The check runs once,
// from Loaded, when the owner has set the properties; a second copy then
// acts as DupInstAction says.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "clock/Exceptions.h"
#include "clock/platform/NamedMutexes.h"
#include "clock/platform/Seam.h"

// A second guard in the same program.
class EMultiSingleInstance : public Exception {
public:
  using Exception::Exception;
};

// Another copy is running (diException); carries ErrorMessage.
class EMultiAppInstance : public Exception {
public:
  using Exception::Exception;
};

enum TDupInstAction { diActivateFirst, diException, diTerminate };

// What the guard needs of the program it guards.
struct TGuardedProgram {
  // This program's own application window, never taken for the other copy's.
  platform::WindowHandle ApplicationWindow = nullptr;
  // Requests the end of this program at the next turn of its message loop
  // (required).
  std::function<void()> Terminate;
};

class TSingleInstance {
public:
  // Fails with EMultiSingleInstance while another guard exists.
  explicit TSingleInstance(TGuardedProgram program);
  ~TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  // Published, in this order.
  TDupInstAction DupInstAction = diActivateFirst;
  std::string ErrorMessage = "すでに起動されています";
  std::string UniqueName;
  std::function<void(TSingleInstance& sender)> OnDuplicate;

  // The owner has finished setting the properties: runs CheckDuplicate once.
  void Loaded();

  // For the program's last act: brings the first copy's window forward when
  // diActivateFirst found one.
  static void ActivateFirstInstance();

private:
  void CheckDuplicate();
  platform::WindowHandle FindOtherApplicationWindow() const;

  TGuardedProgram program_;
  std::unique_ptr<platform::TMutexHold> mutex_;
  bool checked_ = false;
};
