#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock/ServiceRegistration.h"
#include "tests/unit/FakeFileSystem.h"
#include "tests/unit/FakeServiceManager.h"

namespace {

class ServiceRegistration : public testing::Test {
protected:
  TShowMessage Show() {
    return [this](const std::string& text) { shown.push_back(text); };
  }

  FakeFileSystem files;
  FakeServiceManager manager;
  std::vector<std::string> shown;
};

TEST_F(ServiceRegistration, InstallRegistersVelmoWithTheFixedValues) {
  files.ExePath = "C:\\Velmora\\Velmora.exe";
  InstallService(Show());
  EXPECT_TRUE(shown.empty());
  ASSERT_EQ(manager.Services.count("Velmo"), 1u);
  const platform::TServiceRegistration& service = manager.Services["Velmo"];
  EXPECT_EQ(service.DisplayName, "Velmo");
  EXPECT_EQ(service.ManagerAccess, 0xF003Fu);
  EXPECT_EQ(service.ServiceAccess, 0xF01FFu);
  EXPECT_EQ(service.ServiceType, 0x110u);
  EXPECT_EQ(service.StartType, 2u);
  EXPECT_EQ(service.ErrorControl, 1u);
  EXPECT_EQ(service.ImagePath, "C:\\Velmora\\Velmora.exe");
}

TEST_F(ServiceRegistration, ImagePathWithBlanksIsQuoted) {
  struct Case {
    const char *program, *imagePath;
  } cases[] = {
      {"C:\\Program Files\\Velmora\\Velmora.exe", "\"C:\\Program Files\\Velmora\\Velmora.exe\""},
      {"C:\\時 計\\Velmora.exe", "\"C:\\時 計\\Velmora.exe\""},
      {"\"C:\\Program Files\\Velmora.exe\"", "\"C:\\Program Files\\Velmora.exe\""},
      {"C:\\Tools\\Velmora.exe", "C:\\Tools\\Velmora.exe"},
  };
  for (const Case& c : cases) {
    manager.Services.clear();
    files.ExePath = c.program;
    InstallService(Show());
    EXPECT_EQ(manager.Services["Velmo"].ImagePath, c.imagePath);
  }
  EXPECT_TRUE(shown.empty());
}

TEST_F(ServiceRegistration, SecondCallsShowTheirMessages) {
  InstallService(Show());
  ASSERT_TRUE(shown.empty());
  const platform::TServiceRegistration first = manager.Services["Velmo"];
  files.ExePath = "C:\\Other\\Velmora.exe";
  InstallService(Show());
  EXPECT_EQ(shown, std::vector<std::string>{"既にサービス登録されています。"});
  EXPECT_EQ(manager.Services["Velmo"].ImagePath, first.ImagePath);

  shown.clear();
  RemoveService(Show());
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(manager.Services.empty());
  EXPECT_EQ(manager.DeleteAccess, std::make_pair(0xF003Fu, 0xF01FFu));
  RemoveService(Show());
  EXPECT_EQ(shown, std::vector<std::string>{"サービス登録はされていません。"});
}

TEST_F(ServiceRegistration, ManagerThatDoesNotOpenGivesTheSameMessages) {
  manager.ManagerOpens = false;
  InstallService(Show());
  RemoveService(Show());
  EXPECT_EQ(shown, (std::vector<std::string>{"既にサービス登録されています。",
                                             "サービス登録はされていません。"}));
  EXPECT_TRUE(manager.Services.empty());
}

} // namespace
