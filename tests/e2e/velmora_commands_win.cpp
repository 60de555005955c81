// The clock program's menu commands and hidden buttons, driven from outside:
// the start-up shortcut, the read-me file, the minimise handler and the
// registration as the service "Velmo".
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/SettingsHarness_win.h"
#include "tests/e2e/UpdateHarness_win.h"

namespace {

const char kCaption[] = "Velmora Ver1.32";
// The menus live in Wine's own process, so their items cannot be read from
// here. The toolkit numbers the command items from 1000 in creation order,
// the main menu first: 設定 (N2, K1, P1, E1), then ﾍﾙﾌﾟ (ReadMeR1, S1).
const WPARAM kRegisterStartup = 1000; // N2
const WPARAM kRemoveStartup = 1001;   // K1
const WPARAM kReadMe = 1004;          // ReadMeR1

std::string Lower(std::string text) {
  CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

std::string StartupFolder() {
  char path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathA(nullptr, CSIDL_STARTUP, nullptr, SHGFP_TYPE_CURRENT, path)))
    return "";
  return path;
}

int CountFiles(const std::string& pattern) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return 0;
  int count = 0;
  do
    ++count;
  while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

struct TLink {
  bool Loaded = false;
  std::string Path, Arguments, WorkDir, Description;
  int ShowCommand = 0;
};

TLink ReadLink(const std::string& file) {
  TLink link;
  IShellLinkA* shell = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              reinterpret_cast<void**>(&shell))))
    return link;
  IPersistFile* persist = nullptr;
  if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
    std::wstring wide(MAX_PATH, L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide.data(), MAX_PATH));
    if (SUCCEEDED(persist->Load(wide.c_str(), STGM_READ))) {
      char text[MAX_PATH] = {};
      link.Loaded = true;
      shell->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
      link.Path = text;
      shell->GetArguments(text, MAX_PATH);
      link.Arguments = text;
      shell->GetWorkingDirectory(text, MAX_PATH);
      link.WorkDir = text;
      shell->GetDescription(text, MAX_PATH);
      link.Description = text;
      shell->GetShowCmd(&link.ShowCommand);
    }
    persist->Release();
  }
  shell->Release();
  return link;
}

struct TVelmo {
  bool Exists = false;
  std::string ImagePath;
};

TVelmo ReadVelmo() {
  TVelmo velmo;
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
  SC_HANDLE service = manager ? OpenServiceA(manager, "Velmo", SERVICE_QUERY_CONFIG) : nullptr;
  if (service) {
    DWORD needed = 0;
    QueryServiceConfigA(service, nullptr, 0, &needed);
    std::vector<char> block(needed + 2);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(block.data());
    if (needed && QueryServiceConfigA(service, config, needed, &needed)) {
      velmo.Exists = true;
      velmo.ImagePath = config->lpBinaryPathName ? config->lpBinaryPathName : "";
    }
    CloseServiceHandle(service);
  }
  if (manager)
    CloseServiceHandle(manager);
  return velmo;
}

void DeleteVelmo() {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  SC_HANDLE service = manager ? OpenServiceA(manager, "Velmo", DELETE) : nullptr;
  if (service) {
    DeleteService(service);
    CloseServiceHandle(service);
  }
  if (manager)
    CloseServiceHandle(manager);
}

bool WaitVelmo(bool exists) {
  for (int i = 0; i < 100; ++i) {
    if (ReadVelmo().Exists == exists)
      return true;
    Sleep(100);
  }
  return false;
}

// A path as Wine's trace writes it: a wide literal with doubled backslashes.
std::string Traced(const std::string& path) {
  std::string traced = "L\"";
  for (char c : path)
    traced += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return traced + "\"";
}

// The program in a folder of its own, with a site that is never asked.
class VelmoraCommands : public ::testing::Test {
protected:
  void SetUp() override {
    CoInitialize(nullptr);
    DeleteVelmo();
    link_ = StartupFolder() + "\\Velmora.lnk";
    DeleteFileA(link_.c_str());
  }
  void TearDown() override {
    Close();
    DeleteVelmo();
    DeleteFileA(link_.c_str());
    CoUninitialize();
  }
  void Start(const std::string& folder, const std::string& currentDirectory) {
    program_ = folder + "\\Velmora.exe";
    if (GetFileAttributesA(program_.c_str()) == INVALID_FILE_ATTRIBUTES) {
      e2e::CopyProgram("Velmora.exe", folder);
      e2e::WriteBytes(folder + "\\ServerList.txt", "127.0.0.1\r\n");
      e2e::WriteBytes(folder + "\\Set.ini", "[Set]\r\nNonError=On\r\n");
    }
    velmora_ = std::make_unique<e2e::TProcess>("\"" + program_ + "\"", currentDirectory);
    form_ = e2e::WaitForWindow(velmora_->Id(), "TForm1", 30000);
    ASSERT_NE(form_, nullptr) << "no TForm1 window";
    for (int i = 0; i < 100 && !IsWindowVisible(form_); ++i)
      Sleep(100);
    ASSERT_TRUE(IsWindowVisible(form_));
  }
  void Close() {
    if (form_ && IsWindow(form_)) {
      PostMessageA(form_, WM_CLOSE, 0, 0);
      EXPECT_TRUE(velmora_->WaitForExit(10000));
    }
    form_ = nullptr;
  }
  // Residence on by its check box, which also starts Timer3.
  void BecomeResident() {
    HWND resident = e2e::FindChild(form_, "TCheckBox", "常駐させる。");
    ASSERT_NE(resident, nullptr);
    PostMessageA(resident, BM_CLICK, 0, 0);
    for (int i = 0; i < 50 && !e2e::TrayIconExists(form_); ++i)
      Sleep(100);
    ASSERT_TRUE(e2e::TrayIconExists(form_));
  }
  void Command(WPARAM id) { PostMessageA(form_, WM_COMMAND, id, 0); }
  HWND Message(DWORD milliseconds = 10000) {
    return e2e::WaitForShownWindow(velmora_->Id(), "TMessageForm", kCaption, milliseconds);
  }
  void ExpectConfirmationClosesByItself() {
    HWND message = Message();
    ASSERT_NE(message, nullptr) << "no confirmation";
    EXPECT_TRUE(e2e::WaitGone(message, 8000)) << "the confirmation stayed open";
  }
  void ExpectNoErrorBox() { EXPECT_EQ(e2e::WaitForWindow(velmora_->Id(), "#32770", 0), nullptr); }

  e2e::TTempFolder folder_;
  std::string program_, link_;
  std::unique_ptr<e2e::TProcess> velmora_;
  HWND form_ = nullptr;
};

TEST_F(VelmoraCommands, StartupShortcutIsWrittenOnceAndRemovedInAFreshRun) {
  ASSERT_FALSE(StartupFolder().empty());
  Start(folder_.Path(), folder_.Path());
  BecomeResident();
  Command(kRegisterStartup);
  ExpectConfirmationClosesByItself();
  const TLink link = ReadLink(link_);
  ASSERT_TRUE(link.Loaded) << link_;
  EXPECT_EQ(Lower(link.Path), Lower(program_));
  EXPECT_EQ(link.Arguments, "-s");
  EXPECT_EQ(Lower(link.WorkDir), Lower(folder_.Path()));
  EXPECT_EQ(link.Description, "Velmora");
  EXPECT_EQ(link.ShowCommand, SW_SHOWNORMAL);

  Command(kRegisterStartup);
  ExpectConfirmationClosesByItself();
  EXPECT_EQ(CountFiles(StartupFolder() + "\\*.lnk"), 1);
  ExpectNoErrorBox();
  Close();

  Start(folder_.Path(), folder_.Path());
  BecomeResident();
  Command(kRemoveStartup);
  ExpectConfirmationClosesByItself();
  EXPECT_FALSE(e2e::FileExists(link_));
  Command(kRemoveStartup);
  ExpectConfirmationClosesByItself();
  ExpectNoErrorBox();
}

// Whatever the current directory holds, the shell is asked for the
// program's own ReadMe.txt. No editor comes up for it in this prefix, so
// Wine's shell trace shows where the file was looked for.
TEST_F(VelmoraCommands, ReadMeOpensFromTheProgramsFolder) {
  const e2e::TTempFolder elsewhere;
  e2e::WriteBytes(folder_.File("ReadMe.txt"), "the program's read-me");
  e2e::WriteBytes(elsewhere.File("ReadMe.txt"), "another read-me");
  e2e::WriteBytes(folder_.File("ServerList.txt"), "127.0.0.1\r\n");
  program_ = e2e::CopyProgram("Velmora.exe", folder_);
  const std::string log = elsewhere.File("stderr.txt");
  {
    e2e::TLoggedProcess velmora(program_, "", elsewhere.Path(), log, "+shell");
    HWND form = e2e::WaitForWindow(velmora.Id(), "TForm1", 30000);
    ASSERT_NE(form, nullptr) << "no TForm1 window";
    for (int i = 0; i < 100 && !IsWindowVisible(form); ++i)
      Sleep(100);
    EXPECT_EQ(e2e::WaitForWindow(velmora.Id(), "#32770", 0), nullptr);
    PostMessageA(form, WM_COMMAND, kReadMe, 0);
    const std::string looked = Traced(folder_.File("ReadMe.txt"));
    for (int i = 0; i < 100 && e2e::ReadFileText(log).find(looked) == std::string::npos; ++i)
      Sleep(100);
    PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(velmora.WaitForExit(10000));
  }
  const std::string trace = e2e::ReadFileText(log);
  EXPECT_NE(trace.find(Traced(folder_.File("ReadMe.txt"))), std::string::npos) << trace;
  EXPECT_EQ(trace.find(Traced(elsewhere.File("ReadMe.txt"))), std::string::npos) << trace;
}

// Resident, a minimised program leaves no task-bar entry; restored, the
// application window is parked with zero size at half the screen width.
TEST_F(VelmoraCommands, MinimiseHidesTheTaskBarEntryAndRestoreParksIt) {
  Start(folder_.Path(), folder_.Path());
  BecomeResident();
  HWND application = e2e::WaitForWindow(velmora_->Id(), "TApplication", 1000);
  ASSERT_NE(application, nullptr);

  PostMessageA(form_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  for (int i = 0; i < 50 && IsWindowVisible(application); ++i)
    Sleep(100);
  EXPECT_FALSE(IsWindowVisible(application)) << "the task-bar entry stayed";

  PostMessageA(application, WM_SYSCOMMAND, SC_RESTORE, 0);
  for (int i = 0; i < 50 && (!IsWindowVisible(form_) || IsIconic(form_)); ++i)
    Sleep(100);
  EXPECT_TRUE(IsWindowVisible(form_));
  EXPECT_FALSE(IsIconic(form_));
  const int half = GetSystemMetrics(SM_CXSCREEN) / 2;
  RECT bounds = {};
  for (int i = 0; i < 50; ++i) {
    GetWindowRect(application, &bounds);
    if (bounds.left == half && bounds.top == half && bounds.right == half && bounds.bottom == half)
      break;
    Sleep(100);
  }
  EXPECT_EQ(bounds.left, half);
  EXPECT_EQ(bounds.top, half);
  EXPECT_EQ(bounds.right, half);
  EXPECT_EQ(bounds.bottom, half);
}

// From a folder whose name has a blank, so the registered path is quoted.
// The second calls' messages are drawn by the message form, not held by a
// child window, so what shows them is the message form of that moment.
TEST_F(VelmoraCommands, HiddenButtonsRegisterAndDeleteTheService) {
  const std::string folder = folder_.File("with blank");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  Start(folder, folder);
  HWND install = e2e::FindChild(form_, "TButton", "Install");
  HWND remove = e2e::FindChild(form_, "TButton", "Remove");
  ASSERT_NE(install, nullptr);
  ASSERT_NE(remove, nullptr);
  EXPECT_FALSE(IsWindowVisible(install));
  EXPECT_FALSE(IsWindowVisible(remove));

  PostMessageA(install, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitVelmo(true)) << "no service Velmo";
  EXPECT_EQ(Lower(ReadVelmo().ImagePath), Lower("\"" + program_ + "\""));
  EXPECT_EQ(Message(500), nullptr) << "the first install showed a message";

  PostMessageA(install, BM_CLICK, 0, 0);
  HWND already = Message();
  ASSERT_NE(already, nullptr) << "no message on the second install";
  HWND ok = FindWindowExA(already, nullptr, "TButton", nullptr);
  ASSERT_NE(ok, nullptr);
  PostMessageA(ok, BM_CLICK, 0, 0);
  ASSERT_TRUE(e2e::WaitGone(already, 5000));

  PostMessageA(remove, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitVelmo(false)) << "Velmo stayed";
  EXPECT_EQ(Message(500), nullptr) << "the first remove showed a message";

  PostMessageA(remove, BM_CLICK, 0, 0);
  HWND none = Message();
  ASSERT_NE(none, nullptr) << "no message on the second remove";
  ok = FindWindowExA(none, nullptr, "TButton", nullptr);
  ASSERT_NE(ok, nullptr);
  PostMessageA(ok, BM_CLICK, 0, 0);
  EXPECT_TRUE(e2e::WaitGone(none, 5000));
  ExpectNoErrorBox();
}

} // namespace
