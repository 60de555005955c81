// What the Wine benchmark drivers share: the median, and a start of the
// program that outlasts Wine's running mark.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "tests/e2e/Harness_win.h"

namespace bench {

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// Under Wine a program that has just ended keeps its running mark for a
// moment, and a copy started then ends itself: start again, up to five
// times, until one stays. Its main window, or nullptr.
inline HWND StartUntilItStays(const std::function<std::unique_ptr<e2e::TProcess>()>& start,
                              std::unique_ptr<e2e::TProcess>& started) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (attempt > 0)
      Sleep(2000);
    started = start();
    HWND form = e2e::WaitForWindow(started->Id(), "TForm1", 30000);
    if (form && !started->WaitForExit(2000))
      return form;
  }
  return nullptr;
}

} // namespace bench
