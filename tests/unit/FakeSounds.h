// Every sound asked for, recorded, none played.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "clock/platform/Sounds.h"
#include "tests/unit/FakeInstalled.h"

class FakeSounds : public TFakeInstalled<platform::TSounds> {
public:
  struct Played {
    std::string Name;
    std::uint32_t Flags;
  };
  void Play(const std::string& name, std::uint32_t flags) override {
    Sounds.push_back({name, flags});
    if (OnPlay)
      OnPlay(Sounds.back());
  }

  std::vector<Played> Sounds;
  std::function<void(const Played&)> OnPlay;
};
