// The hook through which long-running routines let the window system handle its pending messages,
// and the wait through which a caller sleeps until a worker thread ends while the window stays alive.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace murrel {

using Clock = std::chrono::steady_clock;

// Set once by a worker thread when it is done. The waiting side either blocks on it or asks to be
// woken through a callback (the window layer posts an event to its loop from there).
class WakeSignal
{
public:
    // Thread-safe and idempotent; runs the wake callback, if any, on the calling thread.
    void set();
    [[nodiscard]] bool isSet() const;
    // Blocks until set or until the deadline passes; true when set.
    bool waitUntil(Clock::time_point deadline) const;
    // Runs `callback` once the signal is set (at once when it already is). The callback runs under the
    // signal's lock, so after clearWakeCallback() returns it is guaranteed not to be running or to run.
    void setWakeCallback(std::function<void()> callback);
    void clearWakeCallback();

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_set = false;
    std::function<void()> m_wake;
};

// What the window layer offers to routines that must keep the window responsive.
class EventPump
{
public:
    virtual ~EventPump() = default;
    // Handles the window system's pending messages once, then returns.
    virtual void processEvents() = 0;
    // Runs the window system's event loop until `done` is set or `deadline` passes; returns early
    // once the program is shutting down.
    virtual void runUntil(WakeSignal& done, Clock::time_point deadline) = 0;
    // True once the main window has been closed: waits end early and requests give up, so that a
    // step suspended in a wait returns quickly and the program can exit.
    [[nodiscard]] virtual bool shuttingDown() const { return false; }
};

// Installs the window layer's pump for the UI thread; nullptr removes it. Until one is installed,
// processEvents() does nothing and waitForSignal() is a plain blocking wait.
void installEventPump(EventPump* pump);
[[nodiscard]] EventPump* installedEventPump();

// Lets the window system handle its pending messages once.
void processEvents();

// Waits until `done` is set or the deadline passes, keeping the window responsive when a pump is
// installed. Returns whether `done` is set; may return false before the deadline when shutting down.
bool waitForSignal(WakeSignal& done, Clock::time_point deadline);

// True once the installed pump reports that the program is shutting down.
[[nodiscard]] bool shuttingDown();

}  // namespace murrel
