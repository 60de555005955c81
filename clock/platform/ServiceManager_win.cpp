#include <windows.h>

#include "clock/platform/Handles_win.h"
#include "clock/platform/ServiceManager.h"

namespace platform {
namespace {

// A function of the library, or nullptr when it has none by that name.
template <typename T> void Load(HMODULE library, const char* name, T& function) {
  function = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The service control manager's functions, looked up when first needed: the
// Windows 95 family has none of them, and the program must still load there.
struct TServiceFunctions {
  TServiceFunctions() {
    HMODULE library = LoadLibraryA("ADVAPI32.DLL");
    if (!library)
      return;
    Load(library, "OpenSCManagerA", OpenManager);
    Load(library, "CreateServiceA", Create);
    Load(library, "OpenServiceA", Open);
    Load(library, "DeleteService", Delete);
    Load(library, "CloseServiceHandle", Close);
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
