// A registry that gives one prepared answer and records what was asked.
#pragma once

#include <string>
#include <vector>

#include "clock/platform/Registry.h"
#include "tests/unit/FakeInstalled.h"

class FakeRegistry : public TFakeInstalled<platform::TRegistry> {
public:
  platform::TRegistryText ReadCurrentUserText(const std::string& keyPath,
                                              const std::string& valueName) override {
    Reads.push_back(keyPath + "|" + valueName);
    return Answer;
  }

  platform::TRegistryText Answer;
  std::vector<std::string> Reads; // "key|value"
};
