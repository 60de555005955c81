// The wrapper's own service: registration, removal, start, and the two
// conversations in which the settings dialog uses them.
#pragma once

#include <windows.h>

namespace kestrun {

int InstallWrapperService();
int RemoveWrapperService();
int StartWrapperService();

// Asks, registers, offers the start; the caller then destroys the dialog.
void RunRegistrationConversation(HWND dialog);
// 1 when the service was removed.
int RunRemovalConversation(HWND dialog);

} // namespace kestrun
