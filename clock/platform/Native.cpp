// Native builds have no platform implementations: tests install fakes.
#ifndef _WIN32

#include "clock/platform/CommandLine.h"
#include "clock/platform/DesktopWindows.h"
#include "clock/platform/FileSystem.h"
#include "clock/platform/NamedMutexes.h"
#include "clock/platform/ProfileFiles.h"
#include "clock/platform/Registry.h"
#include "clock/platform/ServiceManager.h"
#include "clock/platform/Shell.h"
#include "clock/platform/ShellLinks.h"
#include "clock/platform/Sounds.h"
#include "clock/platform/SystemClock.h"
#include "clock/platform/SystemInfo.h"
#include "clock/platform/TrayShell.h"
#include "clock/platform/WindowMessages.h"
#include "clock/platform/WindowPlacement.h"

namespace platform {

template <> TShellLinks* TSeam<TShellLinks>::Platform() {
  return nullptr;
}
template <> TServiceManager* TSeam<TServiceManager>::Platform() {
  return nullptr;
}

template <> TProfileFiles* TSeam<TProfileFiles>::Platform() {
  return nullptr;
}
template <> TFileSystem* TSeam<TFileSystem>::Platform() {
  return nullptr;
}
template <> TRegistry* TSeam<TRegistry>::Platform() {
  return nullptr;
}
template <> TTrayShell* TSeam<TTrayShell>::Platform() {
  return nullptr;
}
template <> TShell* TSeam<TShell>::Platform() {
  return nullptr;
}
template <> TSystemInfo* TSeam<TSystemInfo>::Platform() {
  return nullptr;
}
template <> TNamedMutexes* TSeam<TNamedMutexes>::Platform() {
  return nullptr;
}
template <> TDesktopWindows* TSeam<TDesktopWindows>::Platform() {
  return nullptr;
}
template <> TSystemClock* TSeam<TSystemClock>::Platform() {
  return nullptr;
}
template <> TCommandLine* TSeam<TCommandLine>::Platform() {
  return nullptr;
}
template <> TWindowMessages* TSeam<TWindowMessages>::Platform() {
  return nullptr;
}

template <> TSounds* TSeam<TSounds>::Platform() {
  return nullptr;
}
template <> TWindowPlacement* TSeam<TWindowPlacement>::Platform() {
  return nullptr;
}

} // namespace platform

#endif
