// The native build has no window messages: its pump dispatches what was
// posted here, so that tests see when and how often a wait pumps.
#pragma once

#include <functional>

void PostPendingMessage(std::function<void()> message);
// How many times the pump has run since the program started.
unsigned PumpCalls();
