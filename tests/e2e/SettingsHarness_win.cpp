#include "tests/e2e/SettingsHarness_win.h"

namespace e2e {

namespace {
struct TPlaceSearch {
  HWND Form;
  const char* ClassName;
  POINT At;
  HWND Found;
};

BOOL CALLBACK MatchPlace(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TPlaceSearch*>(parameter);
  char className[64] = {};
  GetClassNameA(window, className, sizeof className);
  RECT bounds;
  GetWindowRect(window, &bounds);
  MapWindowPoints(nullptr, search->Form, reinterpret_cast<POINT*>(&bounds), 2);
  if (lstrcmpA(className, search->ClassName) == 0 && bounds.left == search->At.x &&
      bounds.top == search->At.y) {
    search->Found = window;
    return FALSE;
  }
  return TRUE;
}
} // namespace

HWND ChildAt(HWND form, const char* className, int left, int top) {
  TPlaceSearch search = {form, className, {left, top}, nullptr};
  EnumChildWindows(form, MatchPlace, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

std::string ControlText(HWND control) {
  char buffer[512] = {};
  LRESULT length =
      SendMessageA(control, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

} // namespace e2e
