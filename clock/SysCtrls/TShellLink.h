// TShellLink: writes or deletes a shell shortcut to a program in one of the
// shell's special folders. Both operations need COM initialised on the
// calling thread in the single-threaded apartment.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "clock/Exceptions.h"
#include "clock/platform/Seam.h"

class EShellLinkError : public Exception {
public:
  using Exception::Exception;
};

// Each ordinal is the shell's special-folder number (CSIDL) of its folder.
enum TShellLinkType {
  lnkDesktop,
  lnkReserved1,
  lnkPrograms,
  lnkControls,
  lnkPrinters,
  lnkPersonal,
  lnkFavorites,
  lnkStartup,
  lnkRecent,
  lnkSendTo,
  lnkBitBucket,
  lnkStartMenu,
  lnkReserved2,
  lnkReserved3,
  lnkReserved4,
  lnkReserved5,
  lnkDesktopDirectory,
  lnkDrives,
  lnkNetwork,
  lnkNetHood,
  lnkFonts,
  lnkTemplates,
  lnkCommonStartMenu,
  lnkCommonPrograms,
  lnkCommonStartup,
  lnkCommonDesktopDirectory,
  lnkAppData,
  lnkPrintHood,
};

enum class TLinkWindowState { Normal, Minimized, Maximized };

// A keyboard shortcut: the key code in the low 13 bits, 0x2000 Shift,
// 0x4000 Ctrl, 0x8000 Alt.
using TShortCut = std::uint16_t;

class TShellLink {
public:
  // applicationWindow gives the owner of the shell's requests, asked at each
  // call; without it the requests have no owner.
  explicit TShellLink(std::function<platform::WindowHandle()> applicationWindow = {});

  // Published, in this order.
  std::string Arguments;
  std::string Description;
  const std::string& FileName() const { return fileName_; }
  // A new value also fills an empty Description (the file's base name) and
  // an empty WorkDir (its folder).
  void SetFileName(const std::string& value);
  TShortCut HotKey = 0;
  int IconIndex = 0;
  TShellLinkType LinkType = lnkDesktop;
  TLinkWindowState WindowState = TLinkWindowState::Normal;
  std::string WorkDir;

  // Both name the shortcut after FileName, which defaults to the running
  // program's own path.
  void CreateLink();
  void DeleteLink();

private:
  void DefaultFileName();
  std::string LinkPath() const;

  std::function<platform::WindowHandle()> applicationWindow_;
  std::string fileName_;
};
