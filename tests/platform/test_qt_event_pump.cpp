// The Qt event pump: waits that end on the worker's signal, at the deadline or at shutdown, while
// the event loop keeps running.
#include "platform/qt_event_pump.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <thread>

namespace murrel {
namespace {

using namespace std::chrono_literals;

// Far enough that a wait which does not wake for its own reason is plainly seen to have missed it.
Clock::time_point farDeadline()
{
    return Clock::now() + 60s;
}

TEST(QtEventPump, WakesWhenAWorkerSetsTheSignal)
{
    QtEventPump pump;
    WakeSignal done;
    const Clock::time_point deadline = farDeadline();
    std::thread worker([&done] {
        std::this_thread::sleep_for(20ms);
        done.set();
    });
    pump.runUntil(done, deadline);
    worker.join();
    EXPECT_TRUE(done.isSet());
    EXPECT_LT(Clock::now(), deadline);
}

TEST(QtEventPump, HandlesEventsWhileWaiting)
{
    QtEventPump pump;
    WakeSignal done;
    QTimer::singleShot(10, [&done] { done.set(); });
    const Clock::time_point deadline = farDeadline();
    pump.runUntil(done, deadline);
    EXPECT_TRUE(done.isSet());
    EXPECT_LT(Clock::now(), deadline);
}

TEST(QtEventPump, EndsAtTheDeadlineWithoutTheSignal)
{
    QtEventPump pump;
    WakeSignal never;
    const Clock::time_point deadline = Clock::now() + 30ms;
    pump.runUntil(never, deadline);
    EXPECT_FALSE(never.isSet());
    EXPECT_GE(Clock::now(), deadline);
}

TEST(QtEventPump, ReturnsAtOnceForASignalAlreadySetOrADeadlinePassed)
{
    QtEventPump pump;
    WakeSignal done;
    done.set();
    pump.runUntil(done, farDeadline());
    WakeSignal never;
    pump.runUntil(never, Clock::now() - 1s);
    EXPECT_FALSE(never.isSet());
}

TEST(QtEventPump, ShutdownEndsTheWaitAndEveryLaterOne)
{
    QtEventPump pump;
    WakeSignal never;
    QTimer::singleShot(10, [&pump] { pump.beginShutdown(); });
    const Clock::time_point deadline = farDeadline();
    pump.runUntil(never, deadline);
    EXPECT_TRUE(pump.shuttingDown());
    pump.runUntil(never, deadline);
    EXPECT_LT(Clock::now(), deadline);
    EXPECT_FALSE(never.isSet());
}

TEST(QtEventPump, NestedWaitsEachEndOnTheirOwnSignal)
{
    QtEventPump pump;
    WakeSignal outer;
    WakeSignal inner;
    std::vector<const char*> ended;
    // The inner wait runs from the outer one's loop, as a button pressed during a request would.
    QTimer::singleShot(0, [&] {
        std::thread worker([&outer] { outer.set(); });
        worker.join();
        QTimer::singleShot(10, [&inner] { inner.set(); });
        pump.runUntil(inner, farDeadline());
        ended.push_back("inner");
    });
    const Clock::time_point deadline = farDeadline();
    pump.runUntil(outer, deadline);
    ended.push_back("outer");
    EXPECT_EQ(ended, (std::vector<const char*>{"inner", "outer"}));
    EXPECT_TRUE(inner.isSet());
    EXPECT_LT(Clock::now(), deadline);
}

TEST(QtEventPump, ASignalSetAfterTheWaitReachesNothing)
{
    QtEventPump pump;
    WakeSignal late;
    pump.runUntil(late, Clock::now() + 5ms);
    std::thread worker([&late] { late.set(); });
    worker.join();
    pump.processEvents();
    EXPECT_TRUE(late.isSet());
}

TEST(QtEventPump, ProcessEventsHandlesWhatIsPending)
{
    QtEventPump pump;
    bool ran = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&ran] { ran = true; }, Qt::QueuedConnection);
    pump.processEvents();
    EXPECT_TRUE(ran);
}

TEST(QtEventPump, AQuittingApplicationEndsTheWait)
{
    QtEventPump pump;
    WakeSignal never;
    const Clock::time_point deadline = farDeadline();
    // Inside the application's own loop, as in the program; exec() leaves the loop state clean.
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(10, [] { QCoreApplication::quit(); });
        pump.runUntil(never, deadline);
    });
    QCoreApplication::exec();
    EXPECT_TRUE(pump.shuttingDown());
    EXPECT_LT(Clock::now(), deadline);
}

}  // namespace
}  // namespace murrel
