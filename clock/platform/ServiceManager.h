// The service control manager of the local machine, default database.
#pragma once

#include <cstdint>
#include <string>

#include "clock/platform/Seam.h"

namespace platform {

// A service as registered: no load-order group, tag or dependencies, and
// the local system account.
struct TServiceRegistration {
  std::string Name;
  std::string DisplayName;
  std::uint32_t ManagerAccess = 0;
  std::uint32_t ServiceAccess = 0;
  std::uint32_t ServiceType = 0;
  std::uint32_t StartType = 0;
  std::uint32_t ErrorControl = 0;
  std::string ImagePath;
};

class TServiceManager {
public:
  virtual ~TServiceManager() = default;
  // Opens the manager and creates the service; false when no service
  // handle resulted, whatever the reason (manager not opened, the service
  // exists, access denied).
  virtual bool Create(const TServiceRegistration& service) = 0;
  // Opens the manager and the service and marks it for deletion, whose
  // result is not looked at; false when the manager or the service could
  // not be opened.
  virtual bool Delete(const std::string& name, std::uint32_t managerAccess,
                      std::uint32_t serviceAccess) = 0;
};

template <> TServiceManager* TSeam<TServiceManager>::Platform();
inline TServiceManager& ServiceManager() {
  return TSeam<TServiceManager>::Get();
}

} // namespace platform
