#include "clock/net/IdThread.h"

#include <windows.h>

#include "clock/platform/Handles_win.h"

struct TIdWorker::TState {
  std::function<void()> Job;
  platform::TKernelHandle Thread;
};

namespace {

DWORD WINAPI RunJob(LPVOID parameter) {
  static_cast<TIdWorker::TState*>(parameter)->Job();
  return 0;
}

} // namespace

TIdWorker::TIdWorker(std::function<void()> job) : state_(std::make_unique<TState>()) {
  state_->Job = std::move(job);
  *state_->Thread.Receive() = CreateThread(nullptr, 0, RunJob, state_.get(), 0, nullptr);
  // No thread to run it on: the job runs here, so that it still happens.
  if (!state_->Thread.Get())
    state_->Job();
}

TIdWorker::~TIdWorker() {
  Join();
}

bool TIdWorker::WaitFor(int milliseconds) {
  return !state_->Thread.Get() ||
         WaitForSingleObject(state_->Thread.Get(), static_cast<DWORD>(milliseconds)) ==
             WAIT_OBJECT_0;
}

void TIdWorker::Join() {
  if (state_->Thread.Get())
    WaitForSingleObject(state_->Thread.Get(), INFINITE);
}

std::uintptr_t CurrentThreadKey() {
  return GetCurrentThreadId();
}
