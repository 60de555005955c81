#include "clock/net/TIdAntiFreeze.h"

#include <atomic>

#include "clock/net/IdThread.h"

namespace {
std::atomic<TIdAntiFreeze*> Instance{nullptr};
}

TIdAntiFreeze::TIdAntiFreeze() : guiThread_(CurrentThreadKey()) {
  Instance = this;
}

TIdAntiFreeze::~TIdAntiFreeze() {
  TIdAntiFreeze* self = this;
  Instance.compare_exchange_strong(self, nullptr);
}

void TIdAntiFreeze::DoProcess(bool idle) {
  TIdAntiFreeze* pump = Instance;
  if (pump == nullptr || !pump->Active || CurrentThreadKey() != pump->guiThread_)
    return;
  if (pump->OnlyWhenIdle && !idle)
    return;
  ProcessPendingMessages(pump->ApplicationHasPriority);
}

int TIdAntiFreeze::SliceMilliseconds() {
  TIdAntiFreeze* pump = Instance;
  return pump != nullptr && pump->IdleTimeOut > 0 ? pump->IdleTimeOut : 250;
}
