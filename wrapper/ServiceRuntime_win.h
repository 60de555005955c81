// Service mode: the service's main function and control handler, and the
// launch and stop of the hosted program, which the trial run uses too.
#pragma once

#include <windows.h>

#include "wrapper/Handles_win.h"

namespace kestrun {

extern SERVICE_STATUS_HANDLE StatusHandle;
extern TKernelHandle InstanceMutex;
// Set at start-up when a path or name did not fit its buffer: the service
// then reports stopped without starting anything.
extern int StartRefused;

void WINAPI ServiceMain(DWORD argumentCount, LPSTR* arguments);
void WINAPI ServiceCtrlHandler(DWORD control);
void ReportServiceStatus(DWORD state, DWORD exitCode, DWORD checkPoint);

// 1 with info filled when the process was created; 0 with the reason as
// the last error otherwise. Stop method 3 gives the caller a console, which
// it frees after its wait whatever the result.
int LaunchHostedProgram(const char* programPath, const char* options, int stopMethod,
                        PROCESS_INFORMATION* info);
// Asks the process Hosted.HostedProcessId to end.
void SendStopRequest(int stopMethod);
BOOL CALLBACK CloseHostedWindows(HWND window, LPARAM stopMethod);

} // namespace kestrun
