// The file-hosting service's pages on a stand-in web host, for tests and for trying the program by
// hand: the share page with its key and hash value, the captcha picture tied to the session cookie,
// and the guest-login form that answers with the two download links.
//
//     StandInService service(StandInService::programPort());   // where a test build looks for it
//     paste(service.shareLink("23075823"));  press captcha;  type(service.lastCaptchaCode()); ...
//     EXPECT_EQ(normalBox, service.normalLinkFor("23075823"));
#pragma once

#include "tests/support/standin_server.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace murrel::test {

class StandInService
{
public:
    using CaptchaObserver = std::function<void(const std::string& fileId, const std::string& code)>;

    static constexpr std::string_view kSessionCookie = "PHPSESSID";

    // Listens on 127.0.0.1 at `port`, or at a free port; throws std::system_error when it cannot.
    explicit StandInService(std::optional<std::uint16_t> port = std::nullopt);

    // The port on 127.0.0.1 that this build's program was built to reach, if it was built for the
    // stand-in (-DMURREL_SERVICE_HOST=127.0.0.1:PORT).
    [[nodiscard]] static std::optional<std::uint16_t> programPort();

    [[nodiscard]] StandInServer& server() { return m_server; }
    // "127.0.0.1:PORT".
    [[nodiscard]] std::string hostPort() const { return m_server.hostPort(); }
    // "http://127.0.0.1:PORT/file/<fileId>".
    [[nodiscard]] std::string shareLink(std::string_view fileId) const;

    // What the service hands out for a file: fixed per file id.
    [[nodiscard]] static std::string keyFor(std::string_view fileId);   // 32 letters and digits
    [[nodiscard]] static std::string hashFor(std::string_view fileId);  // 40 hex digits
    [[nodiscard]] std::string normalLinkFor(std::string_view fileId) const;
    [[nodiscard]] std::string thunderLinkFor(std::string_view fileId) const;

    // The digits on the latest captcha picture; empty before the first.
    [[nodiscard]] std::string lastCaptchaCode() const;
    // The session most recently handed out by a share page; empty before the first.
    [[nodiscard]] std::string lastSession() const;
    // Runs on the server's thread for every captcha picture drawn.
    void onCaptchaDrawn(CaptchaObserver observer);
    // Every session ends, as after a server restart: their cookies no longer open the guest login.
    void forgetSessions();

    [[nodiscard]] static std::string base64(std::string_view bytes);

private:
    Response sharePage(const RecordedRequest& request);
    Response captchaPicture(const RecordedRequest& request);
    Response guestLogin(const RecordedRequest& request);
    Response download(const RecordedRequest& request) const;
    // The request's session when its cookie names a live one.
    [[nodiscard]] std::optional<std::string> sessionOf(const RecordedRequest& request) const;

    mutable std::mutex m_mutex;
    // session id -> file id -> the code on the latest captcha of that file in that session
    std::map<std::string, std::map<std::string, std::string>> m_sessions;
    std::string m_lastCode;
    std::string m_lastSession;
    std::mt19937 m_random;
    CaptchaObserver m_observer;
    // Last, so that its connection threads end before the state above goes.
    StandInServer m_server;
};

}  // namespace murrel::test
