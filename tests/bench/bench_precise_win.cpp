// How close the clock program's requested time comes to a server's clock,
// in precise mode and in the ordinary mode, and for comparison htpdate of
// the host against the same server. The server runs 37.333 s ahead of the
// host and answers after a symmetric delay each way. The program's figure is
// what Wine's refusal says it asked for, less 37 333 ms; htpdate's is its
// reported offset, less the same. Prints, for each delay and method, the
// median and worst absolute error, the requests and the wall time per update.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/bench/BenchRuns_win.h"
#include "tests/e2e/Harness_win.h"
#include "tests/e2e/UpdateHarness_win.h"

namespace {

constexpr int kSkewMs = 37'333;
const char kCaption[] = "Velmora Ver1.32";

struct TFigures {
  std::vector<double> Errors;
  std::vector<double> Requests;
  std::vector<double> WallMs;
};

void Print(const char* method, int delayMs, const TFigures& f, int runs) {
  using bench::Median;
  std::vector<double> absolute;
  for (double error : f.Errors)
    absolute.push_back(std::fabs(error));
  const double worst = absolute.empty() ? 0 : *std::max_element(absolute.begin(), absolute.end());
  std::printf("delay %3d ms  %-9s  error median %7.1f ms, worst %7.1f ms  requests %.1f  "
              "wall %7.1f ms  (%zu of %d runs)\n",
              delayMs, method, Median(absolute), worst, Median(f.Requests), Median(f.WallMs),
              f.Errors.size(), runs);
}

// One update of a fresh program; false when it did not get to the clock.
bool ProgramRun(e2e::TTimeServer& server, bool precise, TFigures& figures) {
  e2e::TTempFolder folder;
  e2e::WriteFixtures(folder, server.Site(),
                     std::string("WebSite=0\r\nGosa=Off\r\nNonError=On\r\n") +
                         (precise ? "Precise=On\r\n" : ""));
  const std::string program = e2e::CopyProgram("Velmora.exe", folder);
  const std::string log = folder.File("stderr.txt");
  std::unique_ptr<e2e::TProcess> started;
  HWND form = bench::StartUntilItStays(
      [&] {
        return std::make_unique<e2e::TLoggedProcess>(program, "", folder.Path(), log, "err+sync");
      },
      started);
  e2e::TProcess& velmora = *started;
  HWND button = form ? e2e::FindChild(form, "TButton", "時刻更新(&K)") : nullptr;
  if (!button) {
    std::printf("  a run without a window\n");
    return false;
  }
  const int before = server.Requests();
  const DWORD start = GetTickCount();
  PostMessageA(button, BM_CLICK, 0, 0);
  HWND box = e2e::WaitForShownWindow(velmora.Id(), "#32770", kCaption, 30000);
  const DWORD wall = GetTickCount() - start;
  const std::string status = e2e::StatusText(form, velmora.Id());
  if (box)
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  Sleep(300);
  PostMessageA(form, WM_CLOSE, 0, 0);
  velmora.WaitForExit(10000);
  const std::optional<long> difference = e2e::RequestedDifferenceMs(e2e::ReadFileText(log));
  if (!box || !difference) {
    std::printf("  a run without a figure: %s; status %s\n", box ? "report" : "no report",
                status.c_str());
    return false;
  }
  figures.Errors.push_back(static_cast<double>(*difference - kSkewMs));
  figures.Requests.push_back(server.Requests() - before);
  figures.WallMs.push_back(wall);
  return true;
}

// One query of the host's htpdate; false when it printed no offset.
bool HtpdateRun(e2e::TTimeServer& server, TFigures& figures) {
  e2e::TTempFolder folder;
  const std::string out = folder.File("htpdate.txt");
  const int before = server.Requests();
  const DWORD start = GetTickCount();
  e2e::StartHostShell("htpdate -q " + server.Site() + " >htpdate.txt 2>&1; echo end >>htpdate.txt",
                      folder.Path());
  std::string text;
  while (GetTickCount() - start < 60000) {
    Sleep(20);
    text = e2e::FileExists(out) ? e2e::ReadFileText(out) : std::string();
    if (text.find("end\n") != std::string::npos)
      break;
  }
  const DWORD wall = GetTickCount() - start;
  const std::size_t at = text.find("Offset ");
  if (at == std::string::npos) {
    std::printf("htpdate: %s\n", text.c_str());
    return false;
  }
  figures.Errors.push_back(std::strtod(text.c_str() + at + 7, nullptr) * 1000 - kSkewMs);
  figures.Requests.push_back(server.Requests() - before);
  figures.WallMs.push_back(wall);
  return true;
}

} // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
  bool complete = true;
  for (const int delay : {0, 20, 100}) {
    e2e::TTimeServer server;
    server.AnswerAtOnce = true;
    server.SkewMs = kSkewMs;
    server.DelayMs = delay;
    TFigures precise, ordinary, htpdate;
    for (int run = 0; run < runs; ++run) {
      complete &= ProgramRun(server, true, precise);
      // Under Wine an ended program keeps its running mark for a moment.
      Sleep(2000);
      complete &= ProgramRun(server, false, ordinary);
      Sleep(2000);
      complete &= HtpdateRun(server, htpdate);
    }
    Print("precise", delay, precise, runs);
    Print("ordinary", delay, ordinary, runs);
    Print("htpdate", delay, htpdate, runs);
    std::fflush(stdout);
  }
  return complete ? 0 : 1;
}
