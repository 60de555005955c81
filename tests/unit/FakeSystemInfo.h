// Prepared answers to the version and locale queries; pauses are recorded,
// not taken.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "clock/platform/SystemInfo.h"
#include "tests/unit/FakeInstalled.h"

class FakeSystemInfo : public TFakeInstalled<platform::TSystemInfo> {
public:
  std::optional<uint32_t> VersionPlatformId() override { return PlatformId; }
  char DecimalSeparator() override { return Separator; }
  void Sleep(uint32_t milliseconds) override { Sleeps.push_back(milliseconds); }

  std::optional<uint32_t> PlatformId = 2u; // NT
  char Separator = '.';
  std::vector<uint32_t> Sleeps;
};
