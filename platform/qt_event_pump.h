// The event pump of the Qt window layer: lets long-running steps keep the window responsive and
// ends their waits when the program shuts down.
#pragma once

#include "textutil/process_events.h"

#include <QList>

class QEventLoop;

namespace murrel {

class QtEventPump : public EventPump
{
public:
    QtEventPump() = default;
    QtEventPump(const QtEventPump&) = delete;
    QtEventPump& operator=(const QtEventPump&) = delete;

    void processEvents() override;
    // A nested event loop, woken by the signal's callback through a queued call or by a timer at
    // the deadline; it never polls.
    void runUntil(WakeSignal& done, Clock::time_point deadline) override;
    [[nodiscard]] bool shuttingDown() const override { return m_shuttingDown; }

    // The main window is closing: every running wait ends and no new one starts.
    void beginShutdown();

private:
    bool m_shuttingDown = false;
    QList<QEventLoop*> m_loops;
};

}  // namespace murrel
