#include "tests/e2e/KestrunHarness_win.h"

#include <tlhelp32.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace e2e {

namespace {

// One connection to the service manager for the whole run: under Wine, a
// service this process created is not found through a connection opened
// after all earlier ones were closed.
SC_HANDLE Manager() {
  static TScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  return manager.Get();
}

struct TOpenService {
  explicit TOpenService(const std::string& name)
      : Service(OpenServiceA(Manager(), name.c_str(), SERVICE_ALL_ACCESS)) {}
  TScHandle Service;
};

std::string CreateFolder(const std::string& path) {
  if (!CreateDirectoryA(path.c_str(), nullptr))
    throw std::runtime_error("cannot create " + path);
  return path;
}

} // namespace

namespace {

// A fresh prefix's service manager holds its database locked for a while
// after boot, and the first service process it starts may time out: start
// a wrapper that hosts nothing until a start succeeds, once per run.
void WaitForServiceManager() {
  static bool ready;
  if (ready)
    return;
  ready = true;
  TTempFolder folder;
  std::string kestrun = CopyProgram("kestrun.exe", CreateFolder(folder.File("probe dir")));
  std::string ini = folder.File("probe dir\\kestrun.ini");
  WritePrivateProfileStringA("kestrun", "name", "ksprobe", ini.c_str());
  TScHandle service(CreateServiceA(Manager(), "ksprobe", "ksprobe", SERVICE_ALL_ACCESS,
                                   SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                   SERVICE_ERROR_NORMAL, ("\"" + kestrun + "\"").c_str(), nullptr,
                                   nullptr, nullptr, nullptr, nullptr));
  if (!service)
    return;
  DWORD start = GetTickCount();
  while (!StartServiceA(service.Get(), 0, nullptr) && GetTickCount() - start < 90000)
    Sleep(500);
  SERVICE_STATUS status = {};
  for (int i = 0; i < 100 && QueryServiceStatus(service.Get(), &status) &&
                  status.dwCurrentState != SERVICE_STOPPED;
       ++i)
    Sleep(50);
  DeleteService(service.Get());
}

} // namespace

TTestService::TTestService() {
  WaitForServiceManager();
  static unsigned counter;
  name_ = "kstest" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(++counter);
}

TTestService::~TTestService() {
  Delete();
}

void TTestService::Delete() {
  TOpenService open(name_);
  if (!open.Service)
    return;
  SERVICE_STATUS status = {};
  if (QueryServiceStatus(open.Service.Get(), &status) && status.dwCurrentState != SERVICE_STOPPED) {
    ControlService(open.Service.Get(), SERVICE_CONTROL_STOP, &status);
    WaitForState(SERVICE_STOPPED, 30000);
  }
  DeleteService(open.Service.Get());
}

DWORD TTestService::ProcessId() const {
  TOpenService open(name_);
  SERVICE_STATUS_PROCESS status = {};
  DWORD needed = 0;
  if (!open.Service ||
      !QueryServiceStatusEx(open.Service.Get(), SC_STATUS_PROCESS_INFO,
                            reinterpret_cast<BYTE*>(&status), sizeof status, &needed))
    return 0;
  return status.dwProcessId;
}

bool TTestService::Create(const std::string& imagePath, DWORD type, DWORD startType) {
  TScHandle service(CreateServiceA(Manager(), name_.c_str(), name_.c_str(), SERVICE_ALL_ACCESS,
                                   type, startType, SERVICE_ERROR_NORMAL, imagePath.c_str(),
                                   nullptr, nullptr, nullptr, nullptr, nullptr));
  return static_cast<bool>(service);
}

bool TTestService::Register(const TKestrunFolder& folder, const std::string& program,
                            const std::string& options, int stopMethod, DWORD type) {
  folder.WriteIni(folder.Hosted(program), options, name_, stopMethod, 1, 0);
  return Create("\"" + folder.Kestrun() + "\"", type, SERVICE_DEMAND_START);
}

bool TTestService::Exists() const {
  return static_cast<bool>(TOpenService(name_).Service);
}

bool TTestService::Start() {
  TOpenService open(name_);
  return open.Service && StartServiceA(open.Service.Get(), 0, nullptr);
}

bool TTestService::Stop() {
  TOpenService open(name_);
  SERVICE_STATUS status = {};
  return open.Service && ControlService(open.Service.Get(), SERVICE_CONTROL_STOP, &status);
}

bool TTestService::Query(SERVICE_STATUS* status) const {
  TOpenService open(name_);
  return open.Service && QueryServiceStatus(open.Service.Get(), status);
}

DWORD TTestService::State() const {
  SERVICE_STATUS status = {};
  return Query(&status) ? status.dwCurrentState : 0;
}

bool TTestService::WaitForState(DWORD state, DWORD milliseconds) const {
  DWORD start = GetTickCount();
  for (;;) {
    if (State() == state)
      return true;
    if (GetTickCount() - start >= milliseconds)
      return false;
    Sleep(50);
  }
}

bool TTestService::Config(TServiceConfig* config) const {
  TOpenService open(name_);
  if (!open.Service)
    return false;
  SC_HANDLE service = open.Service.Get();
  DWORD needed = 0;
  QueryServiceConfigA(service, nullptr, 0, &needed);
  std::vector<char> block(needed + 1);
  auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(block.data());
  if (!needed || !QueryServiceConfigA(service, raw, needed, &needed))
    return false;
  config->Type = raw->dwServiceType;
  config->StartType = raw->dwStartType;
  config->ErrorControl = raw->dwErrorControl;
  config->ImagePath = raw->lpBinaryPathName ? raw->lpBinaryPathName : "";
  return true;
}

TKestrunFolder::TKestrunFolder()
    : kestrunDir_(CreateFolder(temp_.File("svc dir"))),
      hostDir_(CreateFolder(temp_.File("host dir"))),
      kestrun_(CopyProgram("kestrun.exe", kestrunDir_)), logPath_(temp_.File("hosted.log")) {
  for (const char* program : {"kshost_windows.exe", "kshost_console.exe", "kshost_ignore.exe"})
    CopyHosted(program, hostDir_);
}

void TKestrunFolder::WriteIni(const std::string& program, const std::string& options,
                              const std::string& name, int stopMethod, int autoStart,
                              int allowDesktop) const {
  const std::string file = IniPath();
  auto put = [&](const char* key, const std::string& value) {
    WritePrivateProfileStringA("kestrun", key, value.c_str(), file.c_str());
  };
  put("exe", program);
  put("option", options);
  put("name", name);
  put("end", std::to_string(stopMethod));
  put("auto", std::to_string(autoStart));
  put("desktop", std::to_string(allowDesktop));
}

std::string TKestrunFolder::IniValue(const char* key) const {
  char value[300];
  GetPrivateProfileStringA("kestrun", key, "<missing>", value, sizeof value, IniPath().c_str());
  return value;
}

namespace {

struct TLogLine {
  unsigned long long Time;
  std::string Text;
};

std::vector<TLogLine> ReadTimedLog(const std::string& path) {
  std::vector<TLogLine> lines;
  std::ifstream file(path, std::ios::binary);
  std::string line;
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    std::size_t blank = line.find(' ');
    if (blank == std::string::npos)
      continue;
    lines.push_back({std::stoull(line.substr(0, blank)), line.substr(blank + 1)});
  }
  return lines;
}

} // namespace

std::vector<std::string> ReadLog(const std::string& path) {
  std::vector<std::string> lines;
  for (const TLogLine& line : ReadTimedLog(path))
    lines.push_back(line.Text);
  return lines;
}

bool WaitForLogLine(const std::string& path, const std::string& line, DWORD milliseconds,
                    int times) {
  DWORD start = GetTickCount();
  for (;;) {
    const std::vector<std::string> lines = ReadLog(path);
    if (std::count(lines.begin(), lines.end(), line) >= times)
      return true;
    if (GetTickCount() - start >= milliseconds)
      return false;
    Sleep(20);
  }
}

unsigned long long FirstLogTime(const std::string& path) {
  std::vector<TLogLine> lines = ReadTimedLog(path);
  return lines.empty() ? 0 : lines.front().Time;
}

std::vector<std::string> LogValues(const std::string& path, const std::string& key) {
  std::vector<std::string> values;
  for (const std::string& text : ReadLog(path))
    if (text.compare(0, key.size() + 1, key + " ") == 0)
      values.push_back(text.substr(key.size() + 1));
  return values;
}

std::string LogValue(const std::string& path, const std::string& key) {
  const std::vector<std::string> values = LogValues(path, key);
  return values.empty() ? "<missing>" : values.front();
}

DWORD ChildProcess(DWORD parentId, const char* exeName) {
  THandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot)
    return 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more;
       more = Process32Next(snapshot.Get(), &entry))
    if (entry.th32ParentProcessID == parentId && lstrcmpiA(entry.szExeFile, exeName) == 0)
      return entry.th32ProcessID;
  return 0;
}

void EndProcess(DWORD processId) {
  THandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
  if (process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), 5000);
  }
}

unsigned long long LogClock() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return ((static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime) / 10000;
}

namespace {

BOOL CALLBACK CollectStaticText(HWND child, LPARAM parameter) {
  char className[64];
  if (GetClassNameA(child, className, sizeof className) && lstrcmpiA(className, "Static") == 0) {
    char text[1024] = "";
    SendMessageA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    if (text[0])
      *reinterpret_cast<std::string*>(parameter) += text;
  }
  return TRUE;
}

} // namespace

HWND WaitForMessageBox(DWORD processId, const std::string& caption, DWORD milliseconds) {
  return WaitForShownWindow(processId, "#32770", caption, milliseconds);
}

std::string StaticTexts(HWND box) {
  std::string text;
  EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return text;
}

std::string AnswerMessageBox(const TProcess& process, const std::string& caption, int button) {
  HWND box = WaitForMessageBox(process.Id(), caption, 10000);
  if (!box)
    return "<no message box \"" + caption + "\">";
  std::string text = StaticTexts(box);
  PressButton(box, button);
  WaitGone(box, 5000);
  return text;
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string ControlText(HWND dialog, int id) {
  char text[1024] = "";
  SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void SetControlText(HWND dialog, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string ComboEntry(HWND dialog, int id, int index) {
  wchar_t wide[256] = L"";
  SendMessageW(GetDlgItem(dialog, id), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(wide));
  char text[512] = "";
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

LRESULT SendToControl(HWND dialog, int id, UINT message, WPARAM first, LPARAM second) {
  return SendMessageA(GetDlgItem(dialog, id), message, first, second);
}

TSettingsProgram::TSettingsProgram(const TKestrunFolder& folder)
    : Process("\"" + folder.Kestrun() + "\"", folder.KestrunDir()),
      Dialog(WaitForShownWindow(Process.Id(), "#32770", "kestrun 起動プログラム設定", 20000)) {}

} // namespace e2e
