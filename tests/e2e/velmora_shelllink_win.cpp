// The start-up shortcut written and deleted through the shell's own link
// object, read back through it, with the runner as the running program.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "clock/SysCtrls/TShellLink.h"
#include "clock/platform/Handles_win.h"
#include "tests/e2e/Harness_win.h"

namespace {

using platform::TComInterface;

// The component runs on a thread in the single-threaded apartment, as the
// program's GUI thread is.
class VelmoraShellLink : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    char path[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_STARTUP, TRUE));
    startup = path;
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    program = module;
    programFolder = program.substr(0, program.rfind('\\'));
    ownLink = startup + "\\velmora_e2e.lnk";
    DeleteFileA(ownLink.c_str());
  }
  void TearDown() override {
    DeleteFileA(ownLink.c_str());
    CoUninitialize();
  }

  std::string startup, program, programFolder, ownLink;
};

struct TLinkContents {
  std::string Path, Arguments, WorkingDirectory, Description, IconPath;
  int IconIndex = -1;
  WORD HotKey = 0xFFFF;
};

// Loads a shortcut file the way the shell does.
bool ReadLink(const std::string& file, TLinkContents* contents) {
  TComInterface<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.Receive())))
    return false;
  TComInterface<IPersistFile> persist;
  if (FAILED(link->QueryInterface(IID_IPersistFile, persist.Receive())))
    return false;
  WCHAR wide[MAX_PATH];
  if (!MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH) ||
      FAILED(persist->Load(wide, STGM_READ)))
    return false;
  char text[MAX_PATH];
  link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
  contents->Path = text;
  link->GetArguments(text, MAX_PATH);
  contents->Arguments = text;
  link->GetWorkingDirectory(text, MAX_PATH);
  contents->WorkingDirectory = text;
  link->GetDescription(text, MAX_PATH);
  contents->Description = text;
  link->GetHotkey(&contents->HotKey);
  link->GetIconLocation(text, MAX_PATH, &contents->IconIndex);
  contents->IconPath = text;
  return true;
}

// The show command as the file's header holds it (a 32-bit value at offset
// 60), which is what the shell uses when it starts the target. Wine's link
// object does not load it back, so GetShowCmd cannot tell.
int StoredShowCommand(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char header[64] = {};
  in.read(reinterpret_cast<char*>(header), sizeof header);
  if (in.gcount() != sizeof header)
    return -1;
  return header[60] | header[61] << 8 | header[62] << 16 | header[63] << 24;
}

std::vector<std::string> FilesIn(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE)
    return names;
  do
    names.push_back(entry.cFileName);
  while (FindNextFileA(search, &entry));
  FindClose(search);
  return names;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TShellLink MainWindowLink() {
  TShellLink link;
  link.Arguments = "-s";
  link.LinkType = lnkStartup;
  return link;
}

TEST_F(VelmoraShellLink, MainWindowsLinkStartsTheProgramWithSwitchFromTheStartupFolder) {
  const size_t before = FilesIn(startup, "*.lnk").size();
  TShellLink link = MainWindowLink();
  link.CreateLink();
  link.CreateLink();
  EXPECT_EQ(FilesIn(startup, "*.lnk").size(), before + 1);
  EXPECT_EQ(FilesIn(startup, "velmora_e2e.*"), std::vector<std::string>{"velmora_e2e.lnk"});

  TLinkContents contents;
  ASSERT_TRUE(ReadLink(ownLink, &contents));
  EXPECT_EQ(contents.Path, program);
  EXPECT_EQ(contents.Arguments, "-s");
  EXPECT_EQ(contents.WorkingDirectory, programFolder);
  EXPECT_EQ(contents.Description, "velmora_e2e");
  EXPECT_EQ(StoredShowCommand(ownLink), SW_SHOWNORMAL);
  EXPECT_EQ(contents.HotKey, 0);
  EXPECT_EQ(contents.IconPath, program);
  EXPECT_EQ(contents.IconIndex, 0);

  // As a later run of the program: the name comes from its own path again.
  TShellLink fresh = MainWindowLink();
  fresh.DeleteLink();
  EXPECT_FALSE(Exists(ownLink));
  EXPECT_NO_THROW(fresh.DeleteLink());
  EXPECT_EQ(FilesIn(startup, "*.lnk").size(), before);
}

TEST_F(VelmoraShellLink, EveryPropertyReachesTheShortcutFile) {
  e2e::TTempFolder folder;
  const std::string target = folder.File("時計 表示.exe");
  std::ofstream(target).put('x');
  TShellLink link = MainWindowLink();
  link.Description = "時刻合わせ";
  link.WorkDir = folder.Path();
  link.SetFileName(target);
  link.HotKey = 0x4000 | 0x2000 | 'T';
  link.IconIndex = 1;
  link.WindowState = TLinkWindowState::Maximized;
  link.CreateLink();

  const std::string written = startup + "\\時計 表示.lnk";
  TLinkContents contents;
  ASSERT_TRUE(ReadLink(written, &contents)) << "the CP932 name reached the file system";
  EXPECT_EQ(contents.Path, target);
  EXPECT_EQ(contents.Description, "時刻合わせ");
  EXPECT_EQ(contents.WorkingDirectory, folder.Path());
  EXPECT_EQ(contents.HotKey, HOTKEYF_CONTROL << 8 | HOTKEYF_SHIFT << 8 | 'T');
  EXPECT_EQ(StoredShowCommand(written), SW_SHOWMAXIMIZED);
  EXPECT_EQ(contents.IconPath, target);
  EXPECT_EQ(contents.IconIndex, 1);
  link.DeleteLink();
  EXPECT_FALSE(Exists(written));
}

TEST_F(VelmoraShellLink, FolderWithoutFileSystemPathRaisesAndWritesNowhere) {
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  const std::string strays[] = {std::string(current) + "\\velmora_e2e.lnk", "\\velmora_e2e.lnk",
                                "velmora_e2e.lnk"};
  for (TShellLinkType type : {lnkControls, lnkPrinters, lnkBitBucket, lnkDrives, lnkNetwork}) {
    TShellLink link = MainWindowLink();
    link.LinkType = type;
    for (int operation = 0; operation < 2; ++operation) {
      try {
        operation == 0 ? link.CreateLink() : link.DeleteLink();
        ADD_FAILURE() << "type " << type << " raised nothing";
      } catch (const EShellLinkError& error) {
        EXPECT_STREQ(error.what(), "Special folder has no file system path") << type;
      }
    }
    for (const std::string& stray : strays)
      EXPECT_FALSE(Exists(stray)) << type << ": " << stray;
  }
}

} // namespace
