#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <memory>

#include "clock/platform/Handles_win.h"
#include "clock/platform/ShellLinks.h"

namespace platform {
namespace {

// The three identifiers the shortcut needs, as the COM documentation gives
// them: the library that holds them holds every other identifier too, a
// tenth of the program's size.
const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct TItemListFree {
  void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};
using TItemList = std::unique_ptr<ITEMIDLIST, TItemListFree>;

class TWin32ShellLinks : public TShellLinks {
public:
  TSpecialFolder SpecialFolder(WindowHandle owner, int folder) override {
    TSpecialFolder result;
    ITEMIDLIST* received = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(static_cast<HWND>(owner), folder, &received)) ||
        !received)
      return result;
    const TItemList list(received);
    // One place more than the shell may write, so the text always ends in
    // our buffer even when the shell filled its MAX_PATH without a
    // terminator.
    char path[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListA(list.get(), path) || !path[0]) {
      result.Status = TSpecialFolder::NoFileSystemPath;
      return result;
    }
    result.Status = TSpecialFolder::Found;
    result.Path = path;
    return result;
  }

  bool Save(const TShellLinkData& link, const std::string& linkPath) override {
    TComInterface<IShellLinkA> shellLink;
    if (FAILED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER, kIShellLinkA,
                                shellLink.Receive())))
      return false;
    TComInterface<IPersistFile> file;
    if (FAILED(shellLink->QueryInterface(kIPersistFile, file.Receive())))
      return false;
    shellLink->SetDescription(link.Description.c_str());
    shellLink->SetPath(link.Path.c_str());
    shellLink->SetWorkingDirectory(link.WorkingDirectory.c_str());
    shellLink->SetArguments(link.Arguments.c_str());
    shellLink->SetHotkey(link.HotKey);
    shellLink->SetShowCmd(link.ShowCommand);
    shellLink->SetIconLocation(link.IconPath.c_str(), link.IconIndex);
    // The caller keeps the path within MAX_PATH; one that still does not
    // convert is not written. Neither that nor a failed save is reported,
    // as the component's callers expect.
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, widePath, MAX_PATH) != 0)
      file->Save(widePath, TRUE);
    return true;
  }

  void Delete(const std::string& linkPath) override { DeleteFileA(linkPath.c_str()); }
};

} // namespace

template <> TShellLinks* TSeam<TShellLinks>::Platform() {
  static TWin32ShellLinks links;
  return &links;
}

} // namespace platform
