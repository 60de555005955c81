// The system windows behind the control model, as the opaque handles the
// platform seams take; nullptr where there are none (headless).
#pragma once

#include "clock/platform/Seam.h"
#include "clock/ui/Forms.h"

// The form's window, made now if the form has none yet.
platform::WindowHandle FormWindowHandle(const TForm& form);
// The application's hidden owner window, which carries the task-bar button.
platform::WindowHandle ApplicationWindowHandle();
