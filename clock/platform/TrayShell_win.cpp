#include <windows.h>

#include <shellapi.h>

#include <cstring>

#include "clock/platform/TrayShell.h"

namespace platform {
namespace {

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "the first-version record is 88 bytes");
#endif

class TWin32TrayShell : public TTrayShell {
public:
  IconHandle LoadProgramIcon(const char* name) override {
    return LoadIconA(GetModuleHandleA(nullptr), name);
  }

  bool NotifyIcon(TTrayCommand command, const TTrayRecord& record) override {
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = static_cast<HWND>(record.Window);
    data.uID = record.Id;
    data.uFlags = record.Flags;
    data.uCallbackMessage = record.CallbackMessage;
    data.hIcon = static_cast<HICON>(record.Icon);
    static_assert(sizeof data.szTip >= sizeof record.Tip, "the tip fits the record");
    std::memcpy(data.szTip, record.Tip, sizeof record.Tip);
    const DWORD message = command == TTrayCommand::Add      ? NIM_ADD
                          : command == TTrayCommand::Modify ? NIM_MODIFY
                                                            : NIM_DELETE;
    return Shell_NotifyIconA(message, &data) != FALSE;
  }
};

} // namespace

template <> TTrayShell* TSeam<TTrayShell>::Platform() {
  static TWin32TrayShell shell;
  return &shell;
}

} // namespace platform
