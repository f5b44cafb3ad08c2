// The event-pump hook and the worker wake signal.
#include "textutil/process_events.h"

#include <atomic>

namespace murrel {
namespace {

std::atomic<EventPump*> g_pump{nullptr};

}  // namespace

void WakeSignal::set()
{
    std::lock_guard lock(m_mutex);
    if (m_set) {
        return;
    }
    m_set = true;
    m_changed.notify_all();
    if (m_wake) {
        m_wake();
    }
}

bool WakeSignal::isSet() const
{
    std::lock_guard lock(m_mutex);
    return m_set;
}

bool WakeSignal::waitUntil(Clock::time_point deadline) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_until(lock, deadline, [this] { return m_set; });
}

void WakeSignal::setWakeCallback(std::function<void()> callback)
{
    std::lock_guard lock(m_mutex);
    m_wake = std::move(callback);
    if (m_set && m_wake) {
        m_wake();
    }
}

void WakeSignal::clearWakeCallback()
{
    std::lock_guard lock(m_mutex);
    m_wake = nullptr;
}

void installEventPump(EventPump* pump)
{
    g_pump.store(pump);
}

EventPump* installedEventPump()
{
    return g_pump.load();
}

void processEvents()
{
    if (EventPump* pump = g_pump.load()) {
        pump->processEvents();
    }
}

bool shuttingDown()
{
    EventPump* pump = g_pump.load();
    return pump && pump->shuttingDown();
}

bool waitForSignal(WakeSignal& done, Clock::time_point deadline)
{
    if (EventPump* pump = g_pump.load()) {
        pump->runUntil(done, deadline);
        return done.isSet();
    }
    return done.waitUntil(deadline);
}

}  // namespace murrel
