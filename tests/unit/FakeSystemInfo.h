// Prepared answers to the version and locale queries; pauses are recorded,
// not taken.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "clock/platform/SystemInfo.h"
#include "tests/unit/FakeInstalled.h"

class FakeSystemInfo : public TFakeInstalled<platform::TSystemInfo> {
public:
  std::optional<uint32_t> VersionPlatformId() override { return PlatformId; }
  char DecimalSeparator() override { return Separator; }
  void Sleep(uint32_t milliseconds) override { Sleeps.push_back(milliseconds); }
  std::string ErrorText(uint32_t error) override { return ErrorTexts[error]; }

  std::optional<uint32_t> PlatformId = 2u; // NT
  char Separator = '.';
  std::vector<uint32_t> Sleeps;
  std::map<uint32_t, std::string> ErrorTexts = {{1314, "A required privilege is not held."}};
};
