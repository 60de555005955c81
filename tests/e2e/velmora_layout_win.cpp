#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/Harness_win.h"
#include "tests/e2e/VelmoraScenario_win.h"

namespace {

struct TChild {
  HWND window;
  std::string className;
  std::string text;
  RECT bounds; // relative to the form's client area
};

// Edit fields and combo boxes keep their text themselves: ask the window.
std::string SentText(HWND window) {
  char buffer[512] = {};
  LRESULT length =
      SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

BOOL CALLBACK CollectChild(HWND window, LPARAM lParam) {
  auto* children = reinterpret_cast<std::vector<HWND>*>(lParam);
  children->push_back(window);
  return TRUE;
}

std::vector<TChild> Children(HWND form) {
  std::vector<HWND> windows;
  EnumChildWindows(form, CollectChild, reinterpret_cast<LPARAM>(&windows));
  std::vector<TChild> children;
  for (HWND window : windows) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    RECT bounds;
    GetWindowRect(window, &bounds);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&bounds), 2);
    children.push_back({window, className, SentText(window), bounds});
  }
  return children;
}

class VelmoraLayout : public e2e::TVelmoraScenario {
protected:
  void SetUp() override {
    // The design state: an empty site list, and the built-in port stored,
    // which a first start would empty.
    LaunchFiles("", "[Set]\r\nPort=8080\r\n");
    WaitForForm();
  }
};

TEST_F(VelmoraLayout, WindowFrameCaptionAndTitle) {
  EXPECT_EQ(e2e::WindowText(form_), "Velmora Ver1.32");
  HWND application = e2e::WaitForWindow(id_, "TApplication", 1000);
  ASSERT_NE(application, nullptr);
  EXPECT_EQ(e2e::WindowText(application), "Velmora Ver1.32");
  EXPECT_EQ(GetWindow(form_, GW_OWNER), application);

  RECT client;
  GetClientRect(form_, &client);
  EXPECT_EQ(client.right, 318);
  EXPECT_EQ(client.bottom, 397);
  RECT outer;
  GetWindowRect(form_, &outer);
  EXPECT_EQ(outer.left, 192);
  EXPECT_EQ(outer.top, 109);

  LONG_PTR style = GetWindowLongPtrA(form_, GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "fixed single border";

  // Wine keeps menus inside their process, so the captions cannot be read
  // from here; the frame shows that a one-line menu bar is there.
  EXPECT_NE(GetMenu(form_), nullptr);
  RECT framed = {0, 0, 318, 397};
  AdjustWindowRectEx(&framed, static_cast<DWORD>(style), TRUE,
                     static_cast<DWORD>(GetWindowLongPtrA(form_, GWL_EXSTYLE)));
  EXPECT_EQ(outer.bottom - outer.top, framed.bottom - framed.top);
}

// Width or height 0: the control's natural size, which must not be empty.
struct TExpectedChild {
  const char* className;
  int left, top, width, height;
  const char* text;
  bool enabled, visible;
  int check; // BM_GETCHECK for check boxes, -1 otherwise
};

const TExpectedChild kChildren[] = {
    {"TPanel", 0, 0, 318, 32, "", true, true, -1},
    {"TLabel", 16, 12, 0, 0, "現在時刻:", true, true, -1},
    {"TButton", 238, 3, 75, 25, "時刻更新(&K)", true, true, -1},
    {"TPanel", 0, 32, 318, 185, "", true, true, -1},
    {"TLabel", 16, 32 + 12, 0, 0, "接続先:", true, true, -1},
    {"TComboBox", 64, 32 + 8, 161, 0, "", true, true, -1},
    {"TButton", 238, 32 + 8, 75, 25, "設定保存(&H)", true, true, -1},
    {"TLabel", 16, 32 + 44, 0, 0, "HTTP Protocol Version", true, true, -1},
    {"TComboBox", 144, 32 + 40, 49, 0, "1.1", true, true, -1},
    {"TCheckBox", 24, 32 + 72, 97, 17, "Proxyを使う", true, true, BST_UNCHECKED},
    {"TLabel", 24, 32 + 102, 0, 0, "Proxy:", false, true, -1},
    {"TEdit", 64, 32 + 98, 121, 20, "", false, true, -1},
    {"TLabel", 208, 32 + 102, 0, 0, "Port:", false, true, -1},
    {"TEdit", 240, 32 + 98, 65, 20, "8080", false, true, -1},
    {"TCheckBox", 24, 32 + 128, 81, 17, "Proxy認証", false, true, BST_UNCHECKED},
    {"TLabel", 8, 32 + 156, 0, 0, "ﾕｰｻﾞｰ名:", false, true, -1},
    {"TEdit", 64, 32 + 152, 97, 20, "", false, true, -1},
    {"TLabel", 168, 32 + 156, 0, 0, "Password:", false, true, -1},
    {"TEdit", 224, 32 + 152, 81, 20, "", false, true, -1},
    {"TCheckBox", 24, 224, 233, 25, "ｽﾀｰﾄｱｯﾌﾟ時にｿﾌﾄ起動を30秒遅らせる。", true, true,
     BST_UNCHECKED},
    {"TCheckBox", 24, 254, 129, 17, "ﾀﾞｲｱﾛｸﾞを出さない。", true, true, BST_UNCHECKED},
    {"TButton", 232, 248, 57, 25, "Install", true, false, -1},
    {"TCheckBox", 24, 280, 89, 17, "常駐させる。", true, true, BST_UNCHECKED},
    {"TEdit", 136, 279, 25, 20, "8", false, true, -1},
    {"TUpDown", 161, 279, 16, 20, "", false, true, -1},
    {"TLabel", 184, 282, 0, 0, "時間毎に時刻更新する。", false, true, -1},
    {"TButton", 232, 296, 57, 25, "Remove", true, false, -1},
    {"TCheckBox", 24, 299, 185, 25, "強制的に夏時間の調整を行う。", false, true, BST_UNCHECKED},
    {"TCheckBox", 24, 323, 17, 17, "", true, true, BST_CHECKED},
    {"TEdit", 48, 326, 33, 20, "300", true, true, -1},
    {"TLabel", 88, 330, 0, 0, "秒以上の誤差は修正しない。", true, true, -1},
    {"TLabel", 24, 356, 0, 0, "時刻補正値", true, true, -1},
    {"TComboBox", 88, 352, 35, 0, "－", true, true, -1},
    {"TEdit", 128, 352, 25, 20, "0", true, true, -1},
    {"TLabel", 160, 356, 0, 0, "秒", true, true, -1},
    {"TStatusBar", 0, 377, 318, 20, "", true, true, -1},
};

TEST_F(VelmoraLayout, ControlsByClassTextAndPlace) {
  std::vector<TChild> children = Children(form_);
  for (const auto& expected : kChildren) {
    SCOPED_TRACE(std::string(expected.className) + " " + expected.text);
    const TChild* found = nullptr;
    for (const auto& child : children)
      if (child.className == expected.className && child.bounds.left == expected.left &&
          child.bounds.top == expected.top)
        found = &child;
    ASSERT_NE(found, nullptr) << "at " << expected.left << ", " << expected.top;
    EXPECT_EQ(found->text, expected.text);
    int width = found->bounds.right - found->bounds.left;
    int height = found->bounds.bottom - found->bounds.top;
    if (expected.width) {
      EXPECT_EQ(width, expected.width);
    } else {
      EXPECT_GT(width, 0);
    }
    if (expected.height) {
      EXPECT_EQ(height, expected.height);
    } else {
      EXPECT_GT(height, 10);
    }
    EXPECT_EQ(IsWindowEnabled(found->window) != FALSE, expected.enabled);
    EXPECT_EQ(IsWindowVisible(found->window) != FALSE, expected.visible);
    if (expected.check >= 0) {
      EXPECT_EQ(SendMessageA(found->window, BM_GETCHECK, 0, 0), expected.check);
    }
  }
}

TEST_F(VelmoraLayout, ControlStatesInTheWindows) {
  std::vector<TChild> children = Children(form_);
  auto at = [&](const char* className, int left, int top) -> HWND {
    for (const auto& child : children)
      if (child.className == className && child.bounds.left == left && child.bounds.top == top)
        return child.window;
    return nullptr;
  };
  HWND edit2 = at("TEdit", 224, 32 + 152);
  ASSERT_NE(edit2, nullptr);
  EXPECT_EQ(SendMessageA(edit2, EM_GETPASSWORDCHAR, 0, 0), '*');

  HWND combo2 = at("TComboBox", 144, 32 + 40);
  HWND combo1 = at("TComboBox", 88, 352);
  HWND combo3 = at("TComboBox", 64, 32 + 8);
  ASSERT_TRUE(combo1 && combo2 && combo3);
  for (HWND combo : {combo1, combo2}) {
    EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), CB_ERR);
  }
  EXPECT_EQ(SendMessageA(combo3, CB_GETCOUNT, 0, 0), 0);
  EXPECT_TRUE(GetWindowLongPtrA(combo3, GWL_STYLE) & CBS_DROPDOWNLIST);

  HWND upDown = at("TUpDown", 161, 279);
  ASSERT_NE(upDown, nullptr);
  EXPECT_EQ(SendMessageA(upDown, UDM_GETPOS32, 0, 0), 8);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(upDown, UDM_GETBUDDY, 0, 0)),
            at("TEdit", 136, 279));
  LRESULT range = SendMessageA(upDown, UDM_GETRANGE, 0, 0);
  EXPECT_EQ(LOWORD(range), 168);
  EXPECT_EQ(HIWORD(range), 1);
  EXPECT_TRUE(GetWindowLongPtrA(upDown, GWL_STYLE) & UDS_NOTHOUSANDS);
  EXPECT_FALSE(GetWindowLongPtrA(upDown, GWL_STYLE) & UDS_WRAP);

  HWND bar = at("TStatusBar", 0, 377);
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(SendMessageA(bar, SB_ISSIMPLE, 0, 0));
  EXPECT_EQ(SendMessageA(bar, SB_GETTEXTLENGTHA, 0, 0), 0);
  EXPECT_EQ(e2e::RemoteText(bar, id_, SB_GETTEXTA, 0), "");
}

} // namespace
