// What the web tests share: libcurl set up once per test program, doubles of the window layer, and
// the texts the routines send and return.
#pragma once

#include "msgbox/window_system.h"
#include "tests/support/message_box_recorder.h"
#include "tests/support/standin_server.h"
#include "textutil/process_events.h"
#include "textutil/text.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ostream>
#include <string>
#include <vector>

namespace murrel {

// Failures show texts and bytes as their bytes, not as objects.
inline void PrintTo(const Text& text, std::ostream* out)
{
    *out << '"' << text.str() << '"';
}
inline void PrintTo(const Bytes& bytes, std::ostream* out)
{
    *out << bytes.size() << " bytes \"" << bytes.str().substr(0, 200) << '"';
}

}  // namespace murrel

namespace murrel::test {

// The slack a time-out may take beyond its bound; ThreadSanitizer slows every thread switch down.
#if defined(__SANITIZE_THREAD__)
inline constexpr std::chrono::milliseconds kTimeoutSlack{500};
#else
inline constexpr std::chrono::milliseconds kTimeoutSlack{200};
#endif

inline const std::string kWorkerAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)";
inline const std::string kDirectAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
inline const std::string kDefaultAccept =
    "image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*";
// "超时返回，指定网站不能访问，或者你的网络出现问题，你可以把参数中的＂超时返回＂的值设置长一些。"
inline const std::string kTimeoutMessage =
    "\xB3\xAC\xCA\xB1\xB7\xB5\xBB\xD8\xA3\xAC\xD6\xB8\xB6\xA8\xCD\xF8\xD5\xBE\xB2\xBB\xC4\xDC\xB7\xC3\xCE\xCA"
    "\xA3\xAC\xBB\xF2\xD5\xDF\xC4\xE3\xB5\xC4\xCD\xF8\xC2\xE7\xB3\xF6\xCF\xD6\xCE\xCA\xCC\xE2\xA3\xAC\xC4\xE3"
    "\xBF\xC9\xD2\xD4\xB0\xD1\xB2\xCE\xCA\xFD\xD6\xD0\xB5\xC4\xA3\xA2\xB3\xAC\xCA\xB1\xB7\xB5\xBB\xD8\xA3\xA2"
    "\xB5\xC4\xD6\xB5\xC9\xE8\xD6\xC3\xB3\xA4\xD2\xBB\xD0\xA9\xA1\xA3";

// The stand-in's URL under the name "localhost". The cookie store lives for the whole test program,
// so tests that set cookies do it under this host and leave 127.0.0.1 without any.
inline std::string localhostUrl(const StandInServer& server, std::string_view path)
{
    return "http://localhost:" + std::to_string(server.port()) + std::string(path);
}

// A fixture with a stand-in that answers "/echo" with "echo" to any method.
class StandInTest : public testing::Test
{
protected:
    StandInTest()
    {
        server.handle("*", "/echo", [](const RecordedRequest&) { return Response::text("echo"); });
    }

    // The one request the server got (a failure when it got another number).
    [[nodiscard]] RecordedRequest onlyRequest() const
    {
        const std::vector<RecordedRequest> requests = server.requests();
        EXPECT_EQ(requests.size(), 1u);
        return requests.empty() ? RecordedRequest() : requests.front();
    }

    StandInServer server;
};

// The window layer's pump as a test sees it: counts the event passes and can report a shutdown.
class RecordingEventPump : public EventPump
{
public:
    void processEvents() override { m_passes.fetch_add(1); }
    void runUntil(WakeSignal& done, Clock::time_point deadline) override
    {
        m_waits.fetch_add(1);
        if (!shuttingDown()) {
            done.waitUntil(deadline);
        }
    }
    [[nodiscard]] bool shuttingDown() const override { return m_shuttingDown.load(); }

    void startShutdown() { m_shuttingDown.store(true); }
    [[nodiscard]] int passes() const { return m_passes.load(); }
    [[nodiscard]] int waits() const { return m_waits.load(); }

private:
    std::atomic<int> m_passes{0};
    std::atomic<int> m_waits{0};
    std::atomic<bool> m_shuttingDown{false};
};

// Installs a pump for the lifetime of the object.
class InstalledPump
{
public:
    InstalledPump() { installEventPump(&m_pump); }
    ~InstalledPump() { installEventPump(nullptr); }
    InstalledPump(const InstalledPump&) = delete;
    InstalledPump& operator=(const InstalledPump&) = delete;
    RecordingEventPump* operator->() { return &m_pump; }

private:
    RecordingEventPump m_pump;
};

using RecordingWindowSystem = InstalledMessageBoxRecorder;

}  // namespace murrel::test
