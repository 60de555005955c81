// The wrapper's own service: registration, removal, start, and the two
// conversations in which the settings dialog uses them.
#pragma once

#include <windows.h>

namespace kestrun {

extern const char* const StartFailedText;

// 0 with ERROR_FILENAME_EXCED_RANGE as the last error when the program's
// own path cannot be registered within its buffer.
int InstallWrapperService();
int RemoveWrapperService();
// Waits for a service that is still stopping, at most StoppedWaitMs; one
// that runs already counts as started.
int StartWrapperService();

constexpr unsigned long StoppedWaitMs = 30000;

// Asks, registers, offers the start; the caller then destroys the dialog.
void RunRegistrationConversation(HWND dialog);
// 1 when the service was removed.
int RunRemovalConversation(HWND dialog);

} // namespace kestrun
