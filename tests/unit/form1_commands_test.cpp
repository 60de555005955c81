#include <gtest/gtest.h>

#include <string>

#include "tests/unit/FakeServiceManager.h"
#include "tests/unit/FakeShellLinks.h"
#include "tests/unit/Form1RunFixture.h"

namespace {

using form1test::Joined;

class Form1Commands : public form1test::Form1Run {
protected:
  Form1Commands() {
    files.ExePath = "D:\\Tools\\Velmora\\Velmora.exe";
    links.SetFolder(lnkStartup, "C:\\Users\\u\\Startup");
  }

  FakeShellLinks links;
  FakeServiceManager services;
};

// The shortcut names the running program, starts it with "-s" in its own
// folder, and both commands confirm with their information message.
TEST_F(Form1Commands, StartupShortcutIsRegisteredAndRemoved) {
  form.N2.UserClick();
  ASSERT_EQ(links.Files.count("C:\\Users\\u\\Startup\\Velmora.lnk"), 1u);
  const platform::TShellLinkData& link = links.Files["C:\\Users\\u\\Startup\\Velmora.lnk"];
  EXPECT_EQ(link.Path, "D:\\Tools\\Velmora\\Velmora.exe");
  EXPECT_EQ(link.Arguments, "-s");
  EXPECT_EQ(link.WorkingDirectory, "D:\\Tools\\Velmora");
  EXPECT_EQ(Joined(log), "message ｽﾀｰﾄｱｯﾌﾟに登録しました。\n");

  log.clear();
  form.K1.UserClick();
  EXPECT_TRUE(links.Files.empty());
  EXPECT_EQ(Joined(log), "message ｽﾀｰﾄｱｯﾌﾟから削除しました。\n");
}

// Without a start-up folder the error is reported and no confirmation follows.
TEST_F(Form1Commands, ShortcutErrorIsReportedWithoutConfirmation) {
  links.Folders.clear();
  form.N2.UserClick();
  EXPECT_TRUE(links.Files.empty());
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].rfind("error ", 0), 0u) << log[0];
}

TEST_F(Form1Commands, HiddenButtonsRegisterAndRemoveTheService) {
  form.Button2.Click();
  ASSERT_EQ(services.Services.count("Velmo"), 1u);
  form.Button2.Click();
  EXPECT_EQ(Joined(log), "message 既にサービス登録されています。\n");

  log.clear();
  form.Button4.Click();
  EXPECT_TRUE(services.Services.empty());
  form.Button4.Click();
  EXPECT_EQ(Joined(log), "message サービス登録はされていません。\n");
}

} // namespace
