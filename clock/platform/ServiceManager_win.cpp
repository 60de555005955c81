#include <windows.h>

#include "clock/platform/Handles_win.h"
#include "clock/platform/ServiceManager.h"

namespace platform {
namespace {

class TWin32ServiceManager : public TServiceManager {
public:
  bool Create(const TServiceRegistration& service) override {
    const TServiceHandle manager(OpenSCManagerA(nullptr, nullptr, service.ManagerAccess));
    if (!manager.Get())
      return false;
    const TServiceHandle created(CreateServiceA(
        manager.Get(), service.Name.c_str(), service.DisplayName.c_str(), service.ServiceAccess,
        service.ServiceType, service.StartType, service.ErrorControl, service.ImagePath.c_str(),
        nullptr, nullptr, nullptr, nullptr, nullptr));
    return created.Get() != nullptr;
  }

  bool Delete(const std::string& name, std::uint32_t managerAccess,
              std::uint32_t serviceAccess) override {
    const TServiceHandle manager(OpenSCManagerA(nullptr, nullptr, managerAccess));
    if (!manager.Get())
      return false;
    const TServiceHandle service(OpenServiceA(manager.Get(), name.c_str(), serviceAccess));
    if (!service.Get())
      return false;
    // Marked for deletion; the system removes it once it has stopped and
    // its last handle is closed.
    DeleteService(service.Get());
    return true;
  }
};

} // namespace

template <> TServiceManager* TSeam<TServiceManager>::Platform() {
  static TWin32ServiceManager manager;
  return &manager;
}

} // namespace platform
