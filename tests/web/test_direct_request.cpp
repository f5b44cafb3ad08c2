// The direct request against the stand-in: its own header defaults and agent, the caller's
// variables it writes back, the refused method, events between reads, and the cookie store it
// shares with the background request.
#include "web/direct_request.h"

#include "tests/support/standin_server.h"
#include "tests/web/web_test_support.h"
#include "web/fetch_with_timeout.h"
#include "web/http_request.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace murrel {
namespace {

using namespace std::chrono_literals;
using test::RecordedRequest;
using test::Response;
using test::StandInServer;

using DirectRequestTest = test::StandInTest;

// One row of the direct request's completion: method, caller's headers, POST data and cookies, and
// the lines the server must get (nullopt: none; a count above 1 as "N x value").
struct DirectCase
{
    const char* name;
    int method;
    std::string headers;
    std::string postData;
    std::string cookies;
    std::map<std::string, std::optional<std::string>> expected;
};

void PrintTo(const DirectCase& c, std::ostream* out)
{
    *out << c.name;
}

class DirectCompletionTest : public DirectRequestTest, public testing::WithParamInterface<DirectCase> {};

TEST_P(DirectCompletionTest, SendsItsOwnCompletedHeaderLines)
{
    const DirectCase& c = GetParam();
    Text url(server.url("/echo"));
    Text headers(c.headers);
    Text returned;
    网页_访问(url, c.method, std::nullopt, &headers, Text(c.postData), Text(c.cookies), std::nullopt, &returned);
    const RecordedRequest request = onlyRequest();
    EXPECT_EQ(request.method, c.method == 1 ? "POST" : "GET");
    EXPECT_EQ(request.header("User-Agent"), test::kDirectAgent);
    for (const auto& [name, value] : c.expected) {
        if (!value) {
            EXPECT_EQ(request.headerCount(name), 0u) << name;
        } else if (value->starts_with("2 x ")) {
            EXPECT_EQ(request.headerCount(name), 2u) << name;
        } else {
            EXPECT_EQ(request.headerCount(name), 1u) << name;
            EXPECT_EQ(request.header(name).value_or("<none>"), *value == "URL" ? url.str() : *value) << name;
        }
    }
    EXPECT_EQ(request.body, c.method == 1 ? c.postData : "");
    // The caller's variable holds the completed text, Cookie and POST lines included.
    for (const std::string& line : request.headerLines) {
        if (line.starts_with("Accept:") || line.starts_with("Referer:") || line.starts_with("Cookie:")
            || (line.starts_with("Content-Length:") && !c.postData.empty())) {
            EXPECT_NE(headers.view().find(line + "\r\n"), std::string_view::npos) << line;
        }
    }
    EXPECT_TRUE(returned.view().starts_with("HTTP/1.1 200 OK\r\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DirectCompletionTest,
    testing::Values(
        DirectCase{"Defaults", 0, "", "", "",
                   {{"Accept", test::kDefaultAccept},
                    {"Referer", "URL"},
                    {"Accept-Language", "zh-cn"},
                    {"Cookie", std::nullopt},
                    {"Content-Type", std::nullopt}}},
        // The Accept test looks for "Accept: ", so an Accept-Language line keeps the default Accept.
        DirectCase{"AcceptLanguageKeepsAccept", 0, "Accept-Language: en\r\n", "", "",
                   {{"Accept", test::kDefaultAccept}, {"Accept-Language", "en"}}},
        // No marker here: "RefererNo" is no header line and a Referer is still added.
        DirectCase{"NoRefererMarker", 0, "RefererNo\r\n", "", "", {{"Referer", "URL"}}},
        DirectCase{"CookieText", 0, "", "", "d=4", {{"Cookie", "d=4"}}},
        DirectCase{"PostAlwaysAddsBothContentLines", 1, "Content-Type: text/plain\r\n", "a=1", "e=5",
                   {{"Content-Type", "2 x "}, {"Content-Length", "3"}, {"Cookie", "e=5"}}},
        DirectCase{"PostWithoutData", 1, "", "", "", {{"Content-Type", std::nullopt}}}),
    [](const testing::TestParamInfo<DirectCase>& info) { return std::string(info.param.name); });

TEST_F(DirectRequestTest, RefusesAnUnknownMethodWithAMessageBox)
{
    test::RecordingWindowSystem windows;
    Text url(server.url("/echo"));
    Text returned("untouched");
    EXPECT_TRUE(网页_访问(url, 2, std::nullopt, nullptr, std::nullopt, std::nullopt, std::nullopt, &returned).empty());
    ASSERT_EQ(windows.boxes().size(), 1u);
    // "【网页_访问】命令的第二个【访问方式】参数有误,请返回修改", with the box's default caption "友情提醒".
    EXPECT_EQ(windows.boxes()[0].message,
              Text("\xA1\xBE\xCD\xF8\xD2\xB3\x5F\xB7\xC3\xCE\xCA\xA1\xBF\xC3\xFC\xC1\xEE\xB5\xC4\xB5\xDA\xB6\xFE\xB8"
                   "\xF6\xA1\xBE\xB7\xC3\xCE\xCA\xB7\xBD\xCA\xBD\xA1\xBF\xB2\xCE\xCA\xFD\xD3\xD0\xCE\xF3\x2C\xC7\xEB"
                   "\xB7\xB5\xBB\xD8\xD0\xDE\xB8\xC4"));
    EXPECT_EQ(windows.boxes()[0].caption, Text("\xD3\xD1\xC7\xE9\xCC\xE1\xD0\xD1"));
    EXPECT_EQ(returned, Text("untouched"));
    EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(DirectRequestTest, TrimsTheUrlAndWritesItBackWithAScheme)
{
    Text url("  " + server.hostPort() + "/echo \xA1\xA1");  // ends in a full-width space
    EXPECT_EQ(网页_访问(url), Bytes(std::string_view("echo")));
    EXPECT_EQ(url, Text(server.url("/echo")));
    EXPECT_EQ(onlyRequest().requestLine, "GET /echo HTTP/1.1");
}

TEST_F(DirectRequestTest, UsesTheProxyUnlessItIsOnlySpaces)
{
    StandInServer proxy;
    proxy.handle("*", "/echo", [](const RecordedRequest&) { return Response::text("proxied"); });
    Text url(server.url("/echo"));
    EXPECT_EQ(网页_访问(url, 0, Text(proxy.hostPort())), Bytes(std::string_view("proxied")));
    ASSERT_EQ(proxy.requestCount(), 1u);
    EXPECT_EQ(proxy.requests().front().target, server.url("/echo"));

    EXPECT_EQ(网页_访问(url, 0, Text("  \xA1\xA1 ")), Bytes(std::string_view("echo")));
    EXPECT_EQ(server.requestCount(), 1u);
}

TEST_F(DirectRequestTest, HandlesEventsBeforeEveryRead)
{
    server.handle("GET", "/big", [](const RecordedRequest&) { return Response::text(std::string(10 * 1024, 'b')); });
    test::InstalledPump pump;
    Text url(server.url("/big"));
    EXPECT_EQ(网页_访问(url).size(), 10u * 1024);
    // Reads of at most 1024 bytes, and the last read that finds the end.
    EXPECT_GE(pump->passes(), 11);
}

TEST_F(DirectRequestTest, GivesUpOnceTheWindowIsClosing)
{
    server.handle("GET", "/stall", [](const RecordedRequest&) {
        Response response = Response::text("late");
        response.stall = 20s;
        return response;
    });
    test::InstalledPump pump;
    std::thread closer([&] {
        server.waitForRequests(1, 10s);
        pump->startShutdown();
    });
    Text url(server.url("/stall"));
    Text returned("untouched");
    const Clock::time_point start = Clock::now();
    EXPECT_TRUE(网页_访问(url, 0, std::nullopt, nullptr, std::nullopt, std::nullopt, std::nullopt, &returned).empty());
    EXPECT_LT(Clock::now() - start, 20s);
    EXPECT_EQ(returned, Text("untouched"));
    closer.join();
}

TEST_F(DirectRequestTest, WebFetchTextEndsAtTheFirstNul)
{
    server.handle("GET", "/nul", [](const RecordedRequest&) { return Response::text(std::string("page\0rest", 9)); });
    Text url(server.url("/nul"));
    EXPECT_EQ(Web_FetchText(url), Text("page"));
}

TEST_F(DirectRequestTest, RefusesLineBreaksAndOversizedBodies)
{
    server.handle("GET", "/huge", [](const RecordedRequest&) {
        Response response = Response::text("abc");
        response.header("Content-Length", std::to_string(kMaxBodyBytes + 1));
        response.closeAfterBodyBytes = 3;
        return response;
    });
    Text huge(server.url("/huge"));
    EXPECT_TRUE(网页_访问(huge).empty());
    server.clearRequests();

    Text url(server.url("/echo\r\nX-Injected: 1"));
    EXPECT_TRUE(网页_访问(url).empty());
    Text clean(server.url("/echo"));
    Text headers("X-A: 1\nX-Injected: 1\r\n");
    EXPECT_TRUE(网页_访问(clean, 0, std::nullopt, &headers).empty());
    EXPECT_TRUE(网页_访问(clean, 0, std::nullopt, nullptr, std::nullopt, Text("a=1\r\nX-Injected: 1")).empty());
    EXPECT_EQ(server.requestCount(), 0u);
}

// The two routines share one cookie store: what a response to one of them sets, the other sends.
TEST_F(DirectRequestTest, SharesTheCookieStoreWithTheBackgroundRequest)
{
    server.handle("GET", "/from-worker", [](const RecordedRequest&) { return Response::text("").setCookie("byWorker=1"); });
    server.handle("GET", "/from-direct", [](const RecordedRequest&) { return Response::text("").setCookie("byDirect=2"); });

    Text workerSets(test::localhostUrl(server, "/from-worker"));
    Web_FetchWithTimeout(workerSets);
    Text directSends(test::localhostUrl(server, "/echo"));
    网页_访问(directSends);
    EXPECT_EQ(server.requests().back().cookie("byWorker"), "1");

    Text directSets(test::localhostUrl(server, "/from-direct"));
    网页_访问(directSets);
    Text workerSends(test::localhostUrl(server, "/echo"));
    Web_FetchWithTimeout(workerSends);
    EXPECT_EQ(server.requests().back().cookie("byDirect"), "2");

    // Cookies belong to their host: 127.0.0.1 is another host than localhost.
    Text otherHost(server.url("/echo"));
    网页_访问(otherHost);
    EXPECT_EQ(server.requests().back().cookie("byDirect"), std::nullopt);
}

}  // namespace
}  // namespace murrel
