#include "clock/net/IdThread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct TIdWorker::TState {
  std::function<void()> Job;
  std::mutex Lock;
  std::condition_variable Finished;
  bool Done = false;
  std::thread Thread;
};

TIdWorker::TIdWorker(std::function<void()> job) : state_(std::make_unique<TState>()) {
  state_->Job = std::move(job);
  TState* state = state_.get();
  state_->Thread = std::thread([state] {
    state->Job();
    std::lock_guard<std::mutex> lock(state->Lock);
    state->Done = true;
    state->Finished.notify_all();
  });
}

TIdWorker::~TIdWorker() {
  Join();
}

bool TIdWorker::WaitFor(int milliseconds) {
  std::unique_lock<std::mutex> lock(state_->Lock);
  return state_->Finished.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                   [this] { return state_->Done; });
}

void TIdWorker::Join() {
  if (state_->Thread.joinable())
    state_->Thread.join();
}

std::uintptr_t CurrentThreadKey() {
  return std::hash<std::thread::id>()(std::this_thread::get_id());
}
