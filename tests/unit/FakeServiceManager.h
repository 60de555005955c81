// Services in memory, and a manager that may refuse to open.
#pragma once

#include <map>
#include <string>

#include "clock/platform/ServiceManager.h"
#include "tests/unit/FakeInstalled.h"

class FakeServiceManager : public TFakeInstalled<platform::TServiceManager> {
public:
  bool Create(const platform::TServiceRegistration& service) override {
    if (!ManagerOpens || Services.count(service.Name))
      return false;
    Services[service.Name] = service;
    return true;
  }

  bool Delete(const std::string& name, std::uint32_t managerAccess,
              std::uint32_t serviceAccess) override {
    DeleteAccess = {managerAccess, serviceAccess};
    if (!ManagerOpens || !Services.count(name))
      return false;
    Services.erase(name);
    return true;
  }

  bool ManagerOpens = true;
  std::map<std::string, platform::TServiceRegistration> Services;
  std::pair<std::uint32_t, std::uint32_t> DeleteAccess{};
};
