#include "wrapper/HostedStop.h"

namespace kestrun {

THostedStop Hosted;

// Each side publishes its own fact before it reads the other's, so at least
// one of them sees both; the exchange makes sure only one sends.
int RequestHostedStop(THostedStop& stop) {
  stop.Requested = 1;
  if (stop.HostedProcessId == 0)
    return 0;
  return stop.Delivered.exchange(1) == 0;
}

int HostedProcessStarted(THostedStop& stop, std::uint32_t processId) {
  if (processId == 0)
    return 0;
  stop.HostedProcessId = processId;
  if (!stop.Requested)
    return 0;
  return stop.Delivered.exchange(1) == 0;
}

TStopCodes StoppedCodes(int requested, std::uint32_t createError, std::uint32_t exitCode) {
  if (requested)
    return {0, 0};
  if (createError != 0)
    return {createError, 0};
  if (exitCode != 0)
    return {ServiceSpecificError, exitCode};
  return {0, 0};
}

} // namespace kestrun
