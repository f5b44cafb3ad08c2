// Nested Qt event loops that wait for a worker's wake signal or a deadline.
#include "platform/qt_event_pump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <climits>
#include <utility>

namespace murrel {
namespace {

// QTimer takes an int of milliseconds; a farther deadline is reached in several rounds.
std::chrono::milliseconds timerInterval(Clock::duration remaining)
{
    using std::chrono::milliseconds;
    const auto rounded = std::chrono::ceil<milliseconds>(remaining);
    return std::clamp(rounded, milliseconds(0), milliseconds(INT_MAX));
}

}  // namespace

void QtEventPump::processEvents()
{
    QCoreApplication::processEvents();
}

void QtEventPump::runUntil(WakeSignal& done, Clock::time_point deadline)
{
    if (m_shuttingDown) {
        return;
    }
    QEventLoop loop;
    QTimer deadlineTimer;
    deadlineTimer.setSingleShot(true);
    deadlineTimer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadlineTimer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Runs on the worker's thread: only post, the quit itself happens on this thread. A quit still
    // queued when the loop is gone is dropped together with the loop.
    done.setWakeCallback([&loop] {
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    m_loops.append(&loop);
    while (!done.isSet() && !m_shuttingDown) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            break;
        }
        deadlineTimer.start(timerInterval(deadline - now));
        // -1: the application has been told to quit, so no loop can run any more.
        if (loop.exec() == -1) {
            m_shuttingDown = true;
        }
    }
    m_loops.removeOne(&loop);
    // After this the worker can no longer reach the loop.
    done.clearWakeCallback();
}

void QtEventPump::beginShutdown()
{
    m_shuttingDown = true;
    for (QEventLoop* loop : std::as_const(m_loops)) {
        loop->quit();
    }
}

}  // namespace murrel
