// The worker threads of background requests. A worker is never killed outright: a thread killed
// inside libcurl would leave its locks and handles behind. It is asked to stop instead, runs on its
// own copies of everything it touches, and ends by itself soon after.
#pragma once

#include "textutil/process_events.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace murrel {

// The routine a worker runs; it should return soon once `stopRequested` is true.
using ThreadRoutine = std::function<void(const std::atomic<bool>& stopRequested)>;

// A started worker. Copies refer to the same thread; the thread runs on when every copy is gone.
class WorkerThread
{
public:
    // Set once the routine has returned and released what it held.
    [[nodiscard]] WakeSignal& finished() const;

    struct State;  // shared by the thread, its handles and the list of running workers

private:
    explicit WorkerThread(std::shared_ptr<State> state);
    friend std::optional<WorkerThread> Thread_Start(ThreadRoutine routine);
    friend bool Thread_Kill(const WorkerThread& thread);
    friend bool Thread_StopAll(std::chrono::milliseconds wait);

    std::shared_ptr<State> m_state;
};

// Starts a detached thread running `routine`; empty when the thread cannot be started.
[[nodiscard]] std::optional<WorkerThread> Thread_Start(ThreadRoutine routine);

// Asks the worker to stop; true once asked (also when it has already ended).
bool Thread_Kill(const WorkerThread& thread);

// Asks every worker still running to stop and waits up to `wait` for all of them to end; true when
// none is left.
bool Thread_StopAll(std::chrono::milliseconds wait);

}  // namespace murrel
