// The clock program's registration as the service "Velmo" against the real
// service control manager, read back with QueryServiceConfigA.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock/ServiceRegistration.h"
#include "clock/platform/Handles_win.h"
#include "tests/unit/FakeFileSystem.h"

namespace {

using platform::TServiceHandle;

struct TVelmoConfig {
  bool Exists = false;
  DWORD Type = 0, StartType = 0, ErrorControl = 0, TagId = 0;
  std::string ImagePath, LoadOrderGroup, Dependencies, Account, DisplayName;
};

TVelmoConfig ReadVelmo() {
  TVelmoConfig config;
  const TServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  const TServiceHandle service(
      manager.Get() ? OpenServiceA(manager.Get(), "Velmo", SERVICE_QUERY_CONFIG) : nullptr);
  if (!service.Get())
    return config;
  DWORD needed = 0;
  QueryServiceConfigA(service.Get(), nullptr, 0, &needed);
  std::vector<char> block(needed + 2);
  auto* raw = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(block.data());
  if (!needed || !QueryServiceConfigA(service.Get(), raw, needed, &needed))
    return config;
  auto text = [](const char* value) { return std::string(value ? value : ""); };
  config.Exists = true;
  config.Type = raw->dwServiceType;
  config.StartType = raw->dwStartType;
  config.ErrorControl = raw->dwErrorControl;
  config.TagId = raw->dwTagId;
  config.ImagePath = text(raw->lpBinaryPathName);
  config.LoadOrderGroup = text(raw->lpLoadOrderGroup);
  config.Dependencies = text(raw->lpDependencies);
  config.Account = text(raw->lpServiceStartName);
  config.DisplayName = text(raw->lpDisplayName);
  return config;
}

// No "Velmo" before or after a scenario, whatever it left.
class VelmoraService : public testing::Test {
protected:
  void SetUp() override { Delete(); }
  void TearDown() override { Delete(); }
  static void Delete() {
    const TServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    const TServiceHandle service(manager.Get() ? OpenServiceA(manager.Get(), "Velmo", DELETE)
                                               : nullptr);
    if (service.Get())
      DeleteService(service.Get());
  }

  TShowMessage Show() {
    return [this](const std::string& text) { shown.push_back(text); };
  }

  std::vector<std::string> shown;
};

TEST_F(VelmoraService, RegistersQuotedPathAndGivesBothMessagesOnSecondCalls) {
  FakeFileSystem files;
  files.ExePath = "C:\\Program Files\\Velmora\\Velmora.exe";
  InstallService(Show());
  EXPECT_TRUE(shown.empty());
  TVelmoConfig config = ReadVelmo();
  ASSERT_TRUE(config.Exists);
  EXPECT_EQ(config.DisplayName, "Velmo");
  EXPECT_EQ(config.Type, SERVICE_WIN32_OWN_PROCESS | SERVICE_INTERACTIVE_PROCESS);
  EXPECT_EQ(config.StartType, static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_EQ(config.ErrorControl, static_cast<DWORD>(SERVICE_ERROR_NORMAL));
  EXPECT_EQ(config.ImagePath, "\"C:\\Program Files\\Velmora\\Velmora.exe\"");
  EXPECT_EQ(config.LoadOrderGroup, "");
  EXPECT_EQ(config.TagId, 0u);
  EXPECT_EQ(config.Dependencies, "");
  EXPECT_EQ(config.Account, "LocalSystem");

  files.ExePath = "C:\\Elsewhere\\Velmora.exe";
  InstallService(Show());
  EXPECT_EQ(shown, std::vector<std::string>{"既にサービス登録されています。"});
  EXPECT_EQ(ReadVelmo().ImagePath, config.ImagePath) << "the second call changed the service";

  shown.clear();
  RemoveService(Show());
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(ReadVelmo().Exists);
  RemoveService(Show());
  EXPECT_EQ(shown, std::vector<std::string>{"サービス登録はされていません。"});
}

TEST_F(VelmoraService, RegistersTheRunningProgramsOwnPath) {
  char module[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, module, MAX_PATH);
  const std::string own = module;
  InstallService(Show());
  EXPECT_TRUE(shown.empty());
  const std::string expected = own.find(' ') == std::string::npos ? own : '"' + own + '"';
  EXPECT_EQ(ReadVelmo().ImagePath, expected);
  RemoveService(Show());
  EXPECT_TRUE(shown.empty());
  EXPECT_FALSE(ReadVelmo().Exists);
}

} // namespace
