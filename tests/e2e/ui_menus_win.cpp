// The toolkit's main menu in this process: its check marks come from the
// items each time a menu opens.
#include <windows.h>

#include <gtest/gtest.h>

#include "clock/ui/Backend_win.h"
#include "clock/ui/Forms.h"

namespace {

class TMenuForm : public TForm {
public:
  TMenuForm()
      : TForm("Form1"), MainMenu1(*this, "MainMenu1"), N1(MainMenu1.Items.Add("N1", "設定(&S)")),
        P1(N1.Add("P1", "高精度モード(&P)")), K1(N1.Add("K1", "ｽﾀｰﾄｱｯﾌﾟから削除(&K)")) {
    Menu = &MainMenu1;
    SetBounds(100, 100, 300, 200);
    Show();
  }
  const char* ClassName() const override { return "TMenuForm"; }
  TMainMenu MainMenu1;
  TMenuItem& N1;
  TMenuItem& P1;
  TMenuItem& K1;
};

bool CheckedAt(HMENU menu, UINT position) {
  return (GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED) != 0;
}

TEST(ToolkitMenu, CheckMarksFollowTheItemsWhenTheMenuOpens) {
  TWin32Backend backend(GetModuleHandleA(nullptr));
  TApplication application(backend);
  TMenuForm& form = application.CreateForm<TMenuForm>();
  HWND window = WindowHandle(form);
  ASSERT_NE(window, nullptr);
  HMENU settings = GetSubMenu(GetMenu(window), 0);
  ASSERT_NE(settings, nullptr);

  form.P1.SetChecked(true);
  SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(settings), 0);
  EXPECT_TRUE(CheckedAt(settings, 0));
  EXPECT_FALSE(CheckedAt(settings, 1));

  form.P1.SetChecked(false);
  SendMessageA(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(settings), 0);
  EXPECT_FALSE(CheckedAt(settings, 0));
}

} // namespace
