#pragma once

#include "wrapper/Settings.h"

namespace kestrun {

// The system's profile functions.
TProfile& SystemProfile();

} // namespace kestrun
