// Hands a stop request to the hosted process exactly once, also when the
// request comes before the process exists. The control handler and the
// service thread meet here without a lock.
#pragma once

#include <atomic>
#include <cstdint>

namespace kestrun {

struct THostedStop {
  std::atomic<std::uint32_t> HostedProcessId{0};
  std::atomic<int> Requested{0};
  std::atomic<int> Delivered{0};
};

extern THostedStop Hosted;

// Control handler side: 1 when the caller is to send the request now.
int RequestHostedStop(THostedStop& stop);
// Service thread side, once the process exists: 1 when a request came first
// and the caller is to send it now.
int HostedProcessStarted(THostedStop& stop, std::uint32_t processId);

} // namespace kestrun
