// The shell's notification area, one request at a time.
#pragma once

#include <cstdint>

#include "clock/platform/Seam.h"

namespace platform {

enum class TTrayCommand { Add, Modify, Delete };

// The fields of the shell's first-version icon record (its size field is
// supplied by the implementation); Tip is zero-terminated.
struct TTrayRecord {
  WindowHandle Window = nullptr;
  uint32_t Id = 0;
  uint32_t Flags = 0;
  uint32_t CallbackMessage = 0;
  IconHandle Icon = nullptr;
  char Tip[64] = {};
};

class TTrayShell {
public:
  virtual ~TTrayShell() = default;
  // The program's own icon resource of that name; shared, never freed.
  virtual IconHandle LoadProgramIcon(const char* name) = 0;
  // False when the shell refuses the request.
  virtual bool NotifyIcon(TTrayCommand command, const TTrayRecord& record) = 0;
};

template <> TTrayShell* TSeam<TTrayShell>::Platform();
inline TTrayShell& TrayShell() {
  return TSeam<TTrayShell>::Get();
}

} // namespace platform
