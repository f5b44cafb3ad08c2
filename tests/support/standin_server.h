// A stand-in for the file-hosting service's web host: a small HTTP/1.1 server on 127.0.0.1 that the
// tests start themselves. It records every request exactly as it arrived and answers through
// handlers registered per method and path; a handler's Response can also misbehave on purpose
// (stall, cut the body short, send bytes that are not HTTP) so the tests can show each outcome.
//
//     StandInServer server;                                   // a free port; StandInServer(8080) for a fixed one
//     server.handle("GET", "/file/*", [](const RecordedRequest& r) {
//         return Response::text("id " + r.path.substr(6)).setCookie("PHPSESSID=1; path=/");
//     });
//     fetch(server.url("/file/23075823"));
//     EXPECT_EQ(server.requests().at(0).header("Referer"), ...);
//
// Unregistered paths get 404. Handlers run on the connection's own thread, one per connection.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace murrel::test {

// One request as it reached the server.
struct RecordedRequest
{
    std::string requestLine;              // "GET /a?b=1 HTTP/1.1", without CR LF
    std::string method;                   // "GET"
    std::string target;                   // "/a?b=1", or the absolute form a proxy receives
    std::string path;                     // "/a": the target without scheme, host and query
    std::string query;                    // "b=1": after the first "?", or empty
    std::vector<std::string> headerLines; // in order, as sent, without CR LF
    std::string body;

    // The value (leading spaces dropped) of the first header line with that name, case ignored.
    [[nodiscard]] std::optional<std::string> header(std::string_view name) const;
    // How many header lines carry that name, case ignored.
    [[nodiscard]] std::size_t headerCount(std::string_view name) const;
    // The value of a cookie sent in a Cookie line, if any.
    [[nodiscard]] std::optional<std::string> cookie(std::string_view name) const;
    // A key's value in the query string, or in a form-encoded body (not percent-decoded).
    [[nodiscard]] std::optional<std::string> queryValue(std::string_view key) const;
    [[nodiscard]] std::optional<std::string> formValue(std::string_view key) const;
};

// What a handler answers. The plain fields make an ordinary response; the rest are faults.
struct Response
{
    int status = 200;
    std::string reason = "OK";
    // Sent in this order after the status line. Content-Length (or Transfer-Encoding: chunked) and,
    // with gzip, Content-Encoding are added unless given here.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;

    bool chunked = false;                           // body in chunked transfer coding
    bool gzip = false;                              // body gzip-compressed, with Content-Encoding
    std::chrono::milliseconds stall{0};             // wait this long before answering (ends on stop)
    std::optional<std::size_t> closeAfterBodyBytes; // announce the whole body, send this much, close
    std::optional<std::string> raw;                 // send these bytes instead of a response, close

    [[nodiscard]] static Response text(std::string body, std::string contentType = "text/html");
    [[nodiscard]] static Response redirect(std::string location, int status = 302);
    [[nodiscard]] static Response notHttp(std::string bytes);

    Response& header(std::string name, std::string value);
    // Adds a Set-Cookie line, e.g. setCookie("a=1; path=/").
    Response& setCookie(std::string cookie);
};

class StandInServer
{
public:
    using Handler = std::function<Response(const RecordedRequest&)>;

    // Listens on 127.0.0.1 at `port`, or at a free port when none is given; throws
    // std::system_error when it cannot listen.
    explicit StandInServer(std::optional<std::uint16_t> port = std::nullopt);
    // Ends every stall, closes every connection and waits for their threads.
    ~StandInServer();
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

    [[nodiscard]] std::uint16_t port() const { return m_port; }
    // "127.0.0.1:PORT", e.g. for a proxy setting.
    [[nodiscard]] std::string hostPort() const;
    // "http://127.0.0.1:PORT" followed by `path`.
    [[nodiscard]] std::string url(std::string_view path = "/") const;

    // Answers requests with `method` ("*" for any) whose path equals `path`, or starts with it when
    // `path` ends in "*". When several routes match, the one registered last answers; a registration
    // of the same method and path replaces the earlier one.
    void handle(std::string method, std::string path, Handler handler);

    // Every request so far, in order of arrival (a request counts once its body has arrived).
    [[nodiscard]] std::vector<RecordedRequest> requests() const;
    [[nodiscard]] std::size_t requestCount() const;
    // Waits until at least `count` requests have arrived; false when `timeout` passes first.
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;
    void clearRequests();

private:
    struct Route
    {
        std::string method;
        std::string path;
        Handler handler;
    };
    struct Connection;

    void acceptLoop();
    void serve(Connection& connection);
    [[nodiscard]] Response answer(const RecordedRequest& request);
    void reapFinishedConnections();

    int m_listenSocket = -1;
    std::uint16_t m_port = 0;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_stopping = false;
    std::vector<Route> m_routes;
    std::vector<RecordedRequest> m_requests;
    std::list<std::unique_ptr<Connection>> m_connections;
    std::thread m_acceptThread;
};

}  // namespace murrel::test
