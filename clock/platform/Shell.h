// Opening files and addresses through the shell.
#pragma once

#include <string>

#include "clock/platform/Seam.h"

namespace platform {

constexpr int ShowCommandShow = 5;

class TShell {
public:
  virtual ~TShell() = default;
  // Asks the shell to apply verb to file; the outcome is not reported.
  virtual void Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                       const std::string& parameters, const std::string& directory,
                       int showCommand) = 0;
};

template <> TShell* TSeam<TShell>::Platform();
inline TShell& Shell() {
  return TSeam<TShell>::Get();
}

} // namespace platform
