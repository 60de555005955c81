// The system's sounds, played by their names.
#pragma once

#include <cstdint>
#include <string>

#include "clock/platform/Seam.h"

namespace platform {

// How a sound is asked for: by its alias, without waiting, and silently
// when no sound is assigned to the alias.
const std::uint32_t kSoundAsyncAliasNoDefault = 0x10003;

class TSounds {
public:
  virtual ~TSounds() = default;
  // The outcome is of no interest to any caller.
  virtual void Play(const std::string& name, std::uint32_t flags) = 0;
};

template <> TSounds* TSeam<TSounds>::Platform();
inline TSounds& Sounds() {
  return TSeam<TSounds>::Get();
}

} // namespace platform
