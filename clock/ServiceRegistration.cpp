#include "clock/ServiceRegistration.h"

#include "clock/platform/FileSystem.h"
#include "clock/platform/ServiceManager.h"

namespace {

constexpr char ServiceName[] = "Velmo";
constexpr std::uint32_t ManagerAllAccess = 0xF003F;
constexpr std::uint32_t ServiceAllAccess = 0xF01FF;
constexpr std::uint32_t OwnProcessInteractive = 0x110;
constexpr std::uint32_t AutoStart = 2;
constexpr std::uint32_t ErrorNormal = 1;

// The system splits an unquoted image path at its blanks and runs the
// first part that names a program, so "C:\Program Files\..." could start
// C:\Program.exe as the local system account.
std::string ImagePath(const std::string& programPath) {
  const bool quoted =
      programPath.size() >= 2 && programPath.front() == '"' && programPath.back() == '"';
  if (quoted || programPath.find(' ') == std::string::npos)
    return programPath;
  return '"' + programPath + '"';
}

} // namespace

void InstallService(const TShowMessage& showMessage) {
  platform::TServiceRegistration service;
  service.Name = ServiceName;
  service.DisplayName = ServiceName;
  service.ManagerAccess = ManagerAllAccess;
  service.ServiceAccess = ServiceAllAccess;
  service.ServiceType = OwnProcessInteractive;
  service.StartType = AutoStart;
  service.ErrorControl = ErrorNormal;
  service.ImagePath = ImagePath(platform::FileSystem().ExecutablePath());
  if (!platform::ServiceManager().Create(service))
    showMessage("既にサービス登録されています。");
}

void RemoveService(const TShowMessage& showMessage) {
  if (!platform::ServiceManager().Delete(ServiceName, ManagerAllAccess, ServiceAllAccess))
    showMessage("サービス登録はされていません。");
}
