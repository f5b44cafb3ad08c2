// The worker threads of background requests, and the list of those still running.
#include "web/worker_thread.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace murrel {

struct WorkerThread::State
{
    WakeSignal finished;
    std::atomic<bool> stopRequested{false};
};

namespace {

// Workers still running, so that the program can stop them all before it exits.
struct RunningWorkers
{
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::shared_ptr<WorkerThread::State>> states;
};

RunningWorkers& runningWorkers()
{
    // Never destroyed: a worker may end after the program's static objects are gone.
    static auto* workers = new RunningWorkers;
    return *workers;
}

void forget(const std::shared_ptr<WorkerThread::State>& state)
{
    RunningWorkers& workers = runningWorkers();
    {
        std::lock_guard lock(workers.mutex);
        std::erase(workers.states, state);
    }
    workers.changed.notify_all();
}

}  // namespace

WorkerThread::WorkerThread(std::shared_ptr<State> state) : m_state(std::move(state)) {}

WakeSignal& WorkerThread::finished() const
{
    return m_state->finished;
}

std::optional<WorkerThread> Thread_Start(ThreadRoutine routine)
{
    auto state = std::make_shared<WorkerThread::State>();
    {
        RunningWorkers& workers = runningWorkers();
        std::lock_guard lock(workers.mutex);
        workers.states.push_back(state);
    }
    try {
        std::thread([state, routine = std::move(routine)]() mutable {
            routine(state->stopRequested);
            routine = nullptr;  // what the routine captured is released before anyone is told
            forget(state);
            state->finished.set();
        }).detach();
    } catch (const std::system_error&) {
        forget(state);
        return std::nullopt;
    }
    return WorkerThread(std::move(state));
}

bool Thread_Kill(const WorkerThread& thread)
{
    thread.m_state->stopRequested.store(true);
    return true;
}

bool Thread_StopAll(std::chrono::milliseconds wait)
{
    RunningWorkers& workers = runningWorkers();
    std::unique_lock lock(workers.mutex);
    for (const auto& state : workers.states) {
        state->stopRequested.store(true);
    }
    return workers.changed.wait_for(lock, wait, [&] { return workers.states.empty(); });
}

}  // namespace murrel
