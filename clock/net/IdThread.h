// The one worker thread the client uses (the connect), and the identity of
// the GUI thread for the message pump. Windows gets them from the system
// itself, so that the program needs no threading library and loads on
// every Windows it is made for; the native build uses the standard library.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

// Runs one job on a thread of its own; the destructor waits for its end.
class TIdWorker {
public:
  explicit TIdWorker(std::function<void()> job);
  ~TIdWorker();
  TIdWorker(const TIdWorker&) = delete;
  TIdWorker& operator=(const TIdWorker&) = delete;

  // True once the job has ended; waits at most that long for it.
  bool WaitFor(int milliseconds);
  // Waits for the job's end without a bound.
  void Join();

  struct TState;

private:
  std::unique_ptr<TState> state_;
};

// A number that tells the calling thread from every other running thread.
std::uintptr_t CurrentThreadKey();
