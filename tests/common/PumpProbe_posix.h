// Posts a "window message" that the native pump dispatches.
#pragma once

#include <functional>
#include <utility>

#include "clock/net/MessagePump_posix.h"

namespace pump {

inline void Post(std::function<void()> message) {
  PostPendingMessage(std::move(message));
}

} // namespace pump
