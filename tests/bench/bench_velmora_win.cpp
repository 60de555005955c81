// Times whole updates of the running program under Wine, from the click on
// its update button to its result text in the status bar, and, for
// comparison in the same run, the HTTP client's exchange alone in this
// process against the same server. Prints the medians.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "clock/net/TIdHTTP.h"
#include "tests/bench/BenchRuns_win.h"
#include "tests/e2e/Harness_win.h"
#include "tests/e2e/UpdateHarness_win.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

// Median time of runs updates of a fresh program against the server, from
// the click to the result text; 0 when the program does not get there.
double UpdateMedian(e2e::TTimeServer& server, const std::string& result, int runs) {
  e2e::TTempFolder folder;
  e2e::WriteFixtures(folder, server.Site(),
                     "WebSite=0\r\nGosa=On\r\nGosaTime=300\r\nNonError=On\r\n");
  const std::string program = e2e::CopyProgram("Velmora.exe", folder);
  std::unique_ptr<e2e::TProcess> started;
  HWND form = bench::StartUntilItStays(
      [&] { return std::make_unique<e2e::TProcess>("\"" + program + "\"", folder.Path()); },
      started);
  e2e::TProcess& velmora = *started;
  HWND button = form ? e2e::FindChild(form, "TButton", "時刻更新(&K)") : nullptr;
  if (!button)
    return 0;
  std::vector<double> updates;
  const int before = server.Requests();
  for (int run = 1; run <= runs; ++run) {
    const LARGE_INTEGER start = Now();
    PostMessageA(button, BM_CLICK, 0, 0);
    const DWORD limit = GetTickCount();
    while (!(server.Requests() == before + run && e2e::StatusText(form, velmora.Id()) == result)) {
      if (GetTickCount() - limit > 20000)
        return 0;
    }
    updates.push_back(Milliseconds(start, Now()));
    // The run ends after its pause; a disabled button takes no click.
    while (!IsWindowEnabled(button) && GetTickCount() - limit < 20000)
      Sleep(5);
    Sleep(100);
  }
  PostMessageA(form, WM_CLOSE, 0, 0);
  velmora.WaitForExit(10000);
  return bench::Median(updates);
}

} // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 10;
  // Answers at once. 204: the update fails after the whole exchange, with
  // nothing after its result text. 400 s off: refused, and the 500 ms pause
  // before the dialog follows the text; the status bar answers only after
  // it, so that figure includes the pause. The clock is never asked to move.
  e2e::TTimeServer noContent;
  noContent.AnswerAtOnce = true;
  noContent.StatusLine = "HTTP/1.1 204 No Content";
  e2e::TTimeServer offBy400;
  offBy400.AnswerAtOnce = true;
  offBy400.OffsetSeconds = 400;
  const double failed = UpdateMedian(noContent, "時刻更新は失敗しました。", runs);
  const double refused = UpdateMedian(offBy400, "時刻更新を行いませんでした。", runs);

  std::vector<double> exchanges;
  TIdHTTP client;
  for (int run = 0; run < runs; ++run) {
    const LARGE_INTEGER start = Now();
    client.HeadRequest("http://" + offBy400.Site() + "/");
    client.CloseConnection();
    exchanges.push_back(Milliseconds(start, Now()));
  }

  std::printf("whole update, click to result text (204, failed): median %.1f ms (%d runs)\n",
              failed, runs);
  std::printf("whole update, click to result text (refused, with the 500 ms pause): median %.1f "
              "ms (%d runs)\n",
              refused, runs);
  std::printf("client exchange alone, in the driver: median %.1f ms (%d runs)\n",
              bench::Median(exchanges), runs);
  return failed > 0 && refused > 0 ? 0 : 1;
}
