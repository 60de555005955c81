#include <windows.h>

#include <shellapi.h>

#include "clock/platform/Shell.h"

namespace platform {
namespace {

class TWin32Shell : public TShell {
public:
  void Execute(WindowHandle owner, const std::string& verb, const std::string& file,
               const std::string& parameters, const std::string& directory,
               int showCommand) override {
    // The callers report nothing of their own when the shell fails.
    ShellExecuteA(static_cast<HWND>(owner), verb.c_str(), file.c_str(), parameters.c_str(),
                  directory.c_str(), showCommand);
  }
};

} // namespace

template <> TShell* TSeam<TShell>::Platform() {
  static TWin32Shell shell;
  return &shell;
}

} // namespace platform
