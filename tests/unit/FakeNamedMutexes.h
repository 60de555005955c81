// Named mutexes in memory: names held by other programs, names we may not
// open, and the holds this program made (released when a hold ends).
#pragma once

#include <memory>
#include <set>
#include <string>

#include "clock/platform/NamedMutexes.h"
#include "tests/unit/FakeInstalled.h"

class FakeNamedMutexes : public TFakeInstalled<platform::TNamedMutexes> {
public:
  platform::TMutexOpening CreateOrOpen(const std::string& name) override {
    platform::TMutexOpening opening;
    if (Denied.count(name)) {
      opening.Status = platform::TMutexOpening::Failed;
    } else if (HeldElsewhere.count(name) || HeldHere.count(name)) {
      opening.Status = platform::TMutexOpening::AlreadyExists;
    } else {
      opening.Status = platform::TMutexOpening::Created;
      opening.Hold = std::make_unique<Hold>(*this, name);
    }
    return opening;
  }

  std::set<std::string> HeldElsewhere;
  std::set<std::string> Denied;
  std::multiset<std::string> HeldHere;

private:
  class Hold : public platform::TMutexHold {
  public:
    Hold(FakeNamedMutexes& owner, std::string name) : owner_(owner), name_(std::move(name)) {
      owner_.HeldHere.insert(name_);
    }
    ~Hold() override { owner_.HeldHere.erase(owner_.HeldHere.find(name_)); }

  private:
    FakeNamedMutexes& owner_;
    std::string name_;
  };
};
