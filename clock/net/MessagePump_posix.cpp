#include "clock/net/MessagePump_posix.h"

#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

#include "clock/net/TIdAntiFreeze.h"

namespace {
std::mutex QueueLock;
std::deque<std::function<void()>> Queue;
std::atomic<unsigned> Calls{0};
} // namespace

void PostPendingMessage(std::function<void()> message) {
  std::lock_guard<std::mutex> lock(QueueLock);
  Queue.push_back(std::move(message));
}

unsigned PumpCalls() {
  return Calls;
}

void ProcessPendingMessages(bool all) {
  ++Calls;
  do {
    std::function<void()> message;
    {
      std::lock_guard<std::mutex> lock(QueueLock);
      if (Queue.empty())
        return;
      message = std::move(Queue.front());
      Queue.pop_front();
    }
    message();
  } while (all);
}
