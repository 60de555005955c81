#include <windows.h>

#include <stdlib.h>

#include "clock/platform/CommandLine.h"

namespace platform {
namespace {

class TWin32CommandLine : public TCommandLine {
public:
  std::vector<std::string> Arguments() override {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc && __argv; ++i)
      arguments.emplace_back(__argv[i]);
    return arguments;
  }
};

} // namespace

template <> TCommandLine* TSeam<TCommandLine>::Platform() {
  static TWin32CommandLine commandLine;
  return &commandLine;
}

} // namespace platform
