// The arguments the program was started with.
#pragma once

#include <string>
#include <vector>

#include "clock/platform/Seam.h"

namespace platform {

class TCommandLine {
public:
  virtual ~TCommandLine() = default;
  // The arguments after the program's own name, split as the runtime splits
  // the command line.
  virtual std::vector<std::string> Arguments() = 0;
};

template <> TCommandLine* TSeam<TCommandLine>::Platform();
inline TCommandLine& CommandLine() {
  return TSeam<TCommandLine>::Get();
}

} // namespace platform
