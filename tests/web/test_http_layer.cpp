// The HTTP layer's own promises: the effect of each flag bit, the cookie store's rules, and a
// direct session that ignores the environment's proxy.
#include "web/cookie_store.h"
#include "web/http_flags.h"
#include "web/http_request.h"

#include "tests/support/standin_server.h"
#include "tests/web/web_test_support.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

namespace murrel {
namespace {

using test::RecordedRequest;
using test::Response;
using test::StandInServer;

// Opens, sends and reads one request; the body, or nothing when it could not be opened.
std::optional<std::string> run(const std::string& host, int port, const std::string& path, std::uint32_t flags,
                               const std::optional<Text>& proxy = std::nullopt)
{
    const std::optional<HttpSession> session = HttpSession::open("LayerTest/1", proxy);
    const std::optional<HttpConnection> connection = HttpConnection::connect(*session, Text(host), port);
    if (!connection) {
        return std::nullopt;
    }
    std::optional<HttpRequest> request = HttpRequest::open(*connection, "GET", Text(path), flags);
    if (!request) {
        return std::nullopt;
    }
    request->send("");
    std::string body;
    char chunk[512];
    while (const std::size_t count = request->read(chunk, sizeof chunk)) {
        body.append(chunk, count);
    }
    return body;
}

using HttpLayerTest = test::StandInTest;

TEST_F(HttpLayerTest, NoCookiesFlagNeitherSendsNorKeepsCookies)
{
    server.handle("GET", "/set", [](const RecordedRequest&) { return Response::text("").setCookie("layerSet=1; path=/"); });
    ASSERT_TRUE(storeCookie("http://localhost", "layerStored", "7; path=/"));

    run("localhost", server.port(), "/set", kFlagReload | kFlagNoCookies);
    run("localhost", server.port(), "/echo", kFlagReload | kFlagNoCookies);
    EXPECT_EQ(server.requests().back().headerCount("Cookie"), 0u);

    run("localhost", server.port(), "/echo", kFlagReload);
    EXPECT_EQ(server.requests().back().cookie("layerStored"), "7");
    EXPECT_EQ(server.requests().back().cookie("layerSet"), std::nullopt);
}

TEST_F(HttpLayerTest, StoreRefusesCookiesItCannotKeepForTheHost)
{
    const struct
    {
        const char* name;
        const char* data;
        bool stored;
    } cases[] = {
        {"plainValue", "1", true},
        {"withAttributes", "2; path=/; expires=Wed, 01 Jan 2098 00:00:00 GMT", true},
        {"", "3", false},                               // no name
        {"otherDomain", "4; domain=example.org", false},  // a domain the host is not in
        {"control", "5\x01", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storeCookie("http://localhost", c.name, c.data), c.stored) << c.name;
    }
    // A domain that covers the host is kept, and with it the cookie reaches the host.
    ASSERT_TRUE(storeCookie("http://localhost", "ownDomain", "6; domain=localhost"));
    run("localhost", server.port(), "/echo", kFlagReload);
    EXPECT_EQ(server.requests().back().cookie("ownDomain"), "6");
    EXPECT_EQ(server.requests().back().cookie("withAttributes"), "2");
}

TEST_F(HttpLayerTest, DirectSessionIgnoresTheEnvironmentsProxy)
{
    StandInServer proxy;
    ::setenv("http_proxy", proxy.url().c_str(), 1);
    ::setenv("HTTP_PROXY", proxy.url().c_str(), 1);
    const std::optional<std::string> body = run("127.0.0.1", server.port(), "/echo", kFlagReload);
    ::unsetenv("http_proxy");
    ::unsetenv("HTTP_PROXY");
    EXPECT_EQ(body, "echo");
    EXPECT_EQ(proxy.requestCount(), 0u);
}

TEST_F(HttpLayerTest, RefusesHostsAndPortsThatCannotBeConnectedTo)
{
    for (const auto& [host, port] : std::vector<std::pair<std::string, int>>{
             {"", 80}, {"bad host", 80}, {"a?x=1", 80}, {"127.0.0.1", -1}, {"127.0.0.1", 65536}}) {
        EXPECT_EQ(run(host, port, "/", kFlagReload), std::nullopt) << host << ":" << port;
    }
}

// The secure flag speaks TLS to the port given: the first bytes that arrive are a TLS handshake.
TEST(HttpLayerSecureTest, SecureFlagSpeaksTlsToThePortGiven)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    unsigned char first = 0;
    std::thread peer([&] {
        const int connection = ::accept(listener, nullptr, nullptr);
        if (connection >= 0) {
            (void)::recv(connection, &first, 1, 0);
            ::close(connection);
        }
    });
    const std::optional<std::string> body = run("127.0.0.1", ntohs(address.sin_port), "/", kFlagReload | kFlagSecure);
    peer.join();
    ::close(listener);
    EXPECT_EQ(body, "");
    EXPECT_EQ(first, 0x16);  // a TLS handshake record
}

}  // namespace
}  // namespace murrel
