// Times the wrapper as a service under a real service manager: from
// StartServiceA to the hosted program's first log line, and from the stop
// request to SERVICE_STOPPED, for a program that ends when asked. As the
// comparison, the same program started directly with CreateProcessA.
//   kestrun_bench <folder with kestrun.exe and kshost_windows.exe> <runs>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool LogHas(const std::string& path, const char* text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  char buffer[4096];
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer, &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read).find(text) != std::string::npos;
}

// Milliseconds until the log has its first line, or -1 after 10 s.
double WaitForFirstLine(const std::string& log, double start) {
  while (NowMs() - start < 10000) {
    if (LogHas(log, "\n"))
      return NowMs() - start;
    Sleep(1);
  }
  return -1;
}

DWORD State(SC_HANDLE service) {
  SERVICE_STATUS status = {};
  return QueryServiceStatus(service, &status) ? status.dwCurrentState : 0;
}

bool WaitForState(SC_HANDLE service, DWORD state, DWORD milliseconds) {
  double start = NowMs();
  while (State(service) != state) {
    if (NowMs() - start > milliseconds)
      return false;
    Sleep(1);
  }
  return true;
}

double Median(std::vector<double> values) {
  if (values.empty())
    return -1;
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void Print(const char* what, const std::vector<double>& values) {
  std::printf("%-44s median %7.1f ms  (min %.1f, max %.1f, n=%zu)\n", what, Median(values),
              values.empty() ? -1 : *std::min_element(values.begin(), values.end()),
              values.empty() ? -1 : *std::max_element(values.begin(), values.end()), values.size());
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kestrun_bench FOLDER RUNS\n");
    return 2;
  }
  const std::string folder = argv[1];
  const int runs = std::atoi(argv[2]);
  const std::string host = folder + "\\kshost_windows.exe";
  const std::string log = folder + "\\bench.log";
  const std::string ini = folder + "\\kestrun.ini";
  // Stop method 0 and no grace time: the program ends at its first WM_CLOSE.
  WritePrivateProfileStringA("kestrun", "exe", host.c_str(), ini.c_str());
  const std::string options = "\"" + log + "\" 0";
  WritePrivateProfileStringA("kestrun", "option", options.c_str(), ini.c_str());
  WritePrivateProfileStringA("kestrun", "name", "ksbench", ini.c_str());
  WritePrivateProfileStringA("kestrun", "end", "0", ini.c_str());

  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  std::string image = "\"" + folder + "\\kestrun.exe\"";
  SC_HANDLE service =
      CreateServiceA(manager, "ksbench", "ksbench", SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
                     SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, image.c_str(), nullptr, nullptr,
                     nullptr, nullptr, nullptr);
  if (!service) {
    std::fprintf(stderr, "CreateService failed: %lu\n", GetLastError());
    return 1;
  }

  std::vector<double> direct, started, stopped;
  for (int run = 0; run < runs; ++run) {
    DeleteFileA(log.c_str());
    std::string line = "\"" + host + "\" " + options;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    double start = NowMs();
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                       &startup, &info)) {
      double ms = WaitForFirstLine(log, start);
      if (ms >= 0)
        direct.push_back(ms);
      TerminateProcess(info.hProcess, 0);
      WaitForSingleObject(info.hProcess, 5000);
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
    }
  }
  // One unmeasured start first: the first service process of a prefix is slow.
  for (int run = -1; run < runs; ++run) {
    DeleteFileA(log.c_str());
    double start = NowMs();
    double deadline = start + 30000;
    while (!StartServiceA(service, 0, nullptr) && NowMs() < deadline) {
      Sleep(5);
      start = NowMs();
    }
    double ms = WaitForFirstLine(log, start);
    if (!WaitForState(service, SERVICE_RUNNING, 10000))
      continue;
    // The program's windows must exist before the stop can reach them.
    for (int i = 0; i < 5000 && !LogHas(log, " ready"); ++i)
      Sleep(1);
    SERVICE_STATUS status = {};
    double stopStart = NowMs();
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    bool ended = WaitForState(service, SERVICE_STOPPED, 30000);
    double stopMs = NowMs() - stopStart;
    if (run < 0)
      continue;
    if (ms >= 0)
      started.push_back(ms);
    if (ended)
      stopped.push_back(stopMs);
  }
  DeleteService(service);
  CloseServiceHandle(service);
  CloseServiceHandle(manager);

  Print("CreateProcessA -> first log line (direct)", direct);
  Print("StartServiceA -> first log line", started);
  Print("ControlService STOP -> SERVICE_STOPPED", stopped);
  std::printf("RESULT start_ms=%.1f stop_ms=%.1f direct_ms=%.1f\n", Median(started),
              Median(stopped), Median(direct));
  return started.size() == static_cast<std::size_t>(runs) &&
                 stopped.size() == static_cast<std::size_t>(runs)
             ? 0
             : 1;
}
