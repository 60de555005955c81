// The arguments the test starts the program with.
#pragma once

#include <string>
#include <vector>

#include "clock/platform/CommandLine.h"
#include "tests/unit/FakeInstalled.h"

class FakeCommandLine : public TFakeInstalled<platform::TCommandLine> {
public:
  std::vector<std::string> Arguments() override { return Given; }

  std::vector<std::string> Given;
};
