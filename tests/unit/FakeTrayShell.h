// A notification area that behaves like the shell's: one icon per window
// and id, a second add refused, modify and delete refused without the icon.
// Every request is recorded with the record as sent.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "clock/platform/TrayShell.h"
#include "tests/unit/FakeInstalled.h"

class FakeTrayShell : public TFakeInstalled<platform::TTrayShell> {
public:
  struct Request {
    platform::TTrayCommand Command;
    platform::TTrayRecord Record;
    bool Accepted;
  };

  // Each name gets its own handle, the same one on every load.
  platform::IconHandle LoadProgramIcon(const char* name) override {
    auto found = iconNumbers_.emplace(name, iconNumbers_.size() + 1).first;
    return reinterpret_cast<platform::IconHandle>(static_cast<uintptr_t>(found->second));
  }

  bool NotifyIcon(platform::TTrayCommand command, const platform::TTrayRecord& record) override {
    const std::pair<platform::WindowHandle, uint32_t> icon(record.Window, record.Id);
    bool accepted = false;
    switch (command) {
    case platform::TTrayCommand::Add:
      accepted = Icons.insert(icon).second;
      break;
    case platform::TTrayCommand::Modify:
      accepted = Icons.count(icon) == 1;
      break;
    case platform::TTrayCommand::Delete:
      accepted = Icons.erase(icon) == 1;
      break;
    }
    Requests.push_back({command, record, accepted});
    return accepted;
  }

  std::string IconName(platform::IconHandle icon) const {
    for (const auto& [name, number] : iconNumbers_) {
      if (reinterpret_cast<platform::IconHandle>(static_cast<uintptr_t>(number)) == icon)
        return name;
    }
    return std::string();
  }

  std::set<std::pair<platform::WindowHandle, uint32_t>> Icons;
  std::vector<Request> Requests;

private:
  std::map<std::string, size_t> iconNumbers_;
};
