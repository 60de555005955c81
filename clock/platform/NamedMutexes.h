// Named mutexes that mark a running program.
#pragma once

#include <memory>
#include <string>

#include "clock/platform/Seam.h"

namespace platform {

// Holds a created mutex; destruction releases the handle.
class TMutexHold {
public:
  virtual ~TMutexHold() = default;
};

struct TMutexOpening {
  enum TStatus {
    Created,       // no mutex of that name existed; Hold keeps ours
    AlreadyExists, // another holder has it; nothing is kept
    Failed,        // neither created nor opened (e.g. access denied)
  };
  TStatus Status = Failed;
  std::unique_ptr<TMutexHold> Hold;
};

class TNamedMutexes {
public:
  virtual ~TNamedMutexes() = default;
  // Creates the mutex, not owned, or learns that it exists, in one step, so
  // two programs started at the same moment cannot both create it.
  virtual TMutexOpening CreateOrOpen(const std::string& name) = 0;
};

template <> TNamedMutexes* TSeam<TNamedMutexes>::Platform();
inline TNamedMutexes& NamedMutexes() {
  return TSeam<TNamedMutexes>::Get();
}

} // namespace platform
