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

// The two exit codes of the service's stopped report, which the service
// control manager keeps and its recovery actions go by.
struct TStopCodes {
  std::uint32_t Win32ExitCode;
  std::uint32_t ServiceSpecificExitCode;
};

// ERROR_SERVICE_SPECIFIC_ERROR: the service-specific code tells the failure.
constexpr std::uint32_t ServiceSpecificError = 1066;

// After a stop or shutdown request every end is a clean stop. Otherwise a
// program that could not be created (createError, the system's error of
// the creation) or that ended by itself with a non-zero exit code stopped
// the service with a failure.
TStopCodes StoppedCodes(int requested, std::uint32_t createError, std::uint32_t exitCode);

} // namespace kestrun
