#include <windows.h>

#include "clock/platform/Handles_win.h"
#include "clock/platform/ServiceManager.h"

namespace platform {
namespace {

// The service control manager's functions, looked up when first needed: the
// Windows 95 family has none of them, and the program must still load there.
struct TServiceFunctions {
  TServiceFunctions() {
    HMODULE library = LoadLibraryA("ADVAPI32.DLL");
    if (!library)
      return;
    OpenManager = reinterpret_cast<decltype(OpenManager)>(
        reinterpret_cast<void*>(GetProcAddress(library, "OpenSCManagerA")));
    Create = reinterpret_cast<decltype(Create)>(
        reinterpret_cast<void*>(GetProcAddress(library, "CreateServiceA")));
    Open = reinterpret_cast<decltype(Open)>(
        reinterpret_cast<void*>(GetProcAddress(library, "OpenServiceA")));
    Delete = reinterpret_cast<decltype(Delete)>(
        reinterpret_cast<void*>(GetProcAddress(library, "DeleteService")));
    Close = reinterpret_cast<decltype(Close)>(
        reinterpret_cast<void*>(GetProcAddress(library, "CloseServiceHandle")));
  }
  bool Complete() const { return OpenManager && Create && Open && Delete && Close; }

  decltype(&::OpenSCManagerA) OpenManager = nullptr;
  decltype(&::CreateServiceA) Create = nullptr;
  decltype(&::OpenServiceA) Open = nullptr;
  decltype(&::DeleteService) Delete = nullptr;
  decltype(&::CloseServiceHandle) Close = nullptr;
};

const TServiceFunctions& Functions() {
  static const TServiceFunctions functions;
  return functions;
}

} // namespace

BOOL WINAPI CloseServiceHandleLoaded(SC_HANDLE handle) {
  return Functions().Close ? Functions().Close(handle) : FALSE;
}

namespace {

class TWin32ServiceManager : public TServiceManager {
public:
  bool Create(const TServiceRegistration& service) override {
    const TServiceFunctions& f = Functions();
    if (!f.Complete())
      return false;
    const TServiceHandle manager(f.OpenManager(nullptr, nullptr, service.ManagerAccess));
    if (!manager.Get())
      return false;
    const TServiceHandle created(f.Create(
        manager.Get(), service.Name.c_str(), service.DisplayName.c_str(), service.ServiceAccess,
        service.ServiceType, service.StartType, service.ErrorControl, service.ImagePath.c_str(),
        nullptr, nullptr, nullptr, nullptr, nullptr));
    return created.Get() != nullptr;
  }

  bool Delete(const std::string& name, std::uint32_t managerAccess,
              std::uint32_t serviceAccess) override {
    const TServiceFunctions& f = Functions();
    if (!f.Complete())
      return false;
    const TServiceHandle manager(f.OpenManager(nullptr, nullptr, managerAccess));
    if (!manager.Get())
      return false;
    const TServiceHandle service(f.Open(manager.Get(), name.c_str(), serviceAccess));
    if (!service.Get())
      return false;
    // Marked for deletion; the system removes it once it has stopped and
    // its last handle is closed.
    f.Delete(service.Get());
    return true;
  }
};

} // namespace

template <> TServiceManager* TSeam<TServiceManager>::Platform() {
  static TWin32ServiceManager manager;
  return &manager;
}

} // namespace platform
