// The background request against the stand-in: results and outputs, the time-out, every fault of
// the server, and the requests it refuses to make.
#include "web/fetch_with_timeout.h"

#include "tests/support/standin_server.h"
#include "tests/web/web_test_support.h"
#include "web/http_request.h"
#include "web/worker_thread.h"

#include <gtest/gtest.h>

#include <pthread.h>

namespace murrel {
namespace {

using namespace std::chrono_literals;
using test::RecordedRequest;
using test::Response;
using test::StandInServer;

const Bytes kTimeoutMessage(test::kTimeoutMessage);

class FetchWithTimeoutTest : public test::StandInTest
{
protected:
    void SetUp() override
    {
        server.handle("GET", "/stall", [](const RecordedRequest&) {
            Response response = Response::text("late");
            response.stall = 20s;
            return response;
        });
    }

    // A GET of `path` with every option omitted but the time-out.
    Bytes fetch(const std::string& path, std::optional<int> seconds = std::nullopt)
    {
        Text url(server.url(path));
        return Web_FetchWithTimeout(url, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, seconds);
    }
};

TEST_F(FetchWithTimeoutTest, ReturnsTheBodyAndWritesTheOutputsAskedFor)
{
    server.handle("POST", "/form", [](const RecordedRequest& request) {
        return Response::text("got " + request.body).setCookie("fa=1; path=/").setCookie("fb=2; path=/");
    });
    Text url(test::localhostUrl(server, "/form"));
    Text headers("untouched");
    Text cookies("untouched");
    const Bytes body = Web_FetchWithTimeout(url, kMethodPost, std::nullopt, Text("X-Mine: 1\r\n"),
                                            Bytes(std::string_view("k=v")), std::nullopt, 10, &headers,
                                            std::nullopt, &cookies);
    EXPECT_EQ(body, Bytes(std::string_view("got k=v")));
    EXPECT_TRUE(headers.view().starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_EQ(cookies, Text("fa=1;fb=2;"));
    const RecordedRequest request = server.requests().at(0);
    EXPECT_EQ(request.requestLine, "POST /form HTTP/1.1");
    EXPECT_EQ(request.header("X-Mine"), "1");
    EXPECT_EQ(request.header("User-Agent"), test::kWorkerAgent);
}

TEST_F(FetchWithTimeoutTest, PutsHttpInFrontOfAUrlWithoutScheme)
{
    Text url(server.hostPort() + "/echo");
    EXPECT_EQ(Web_FetchWithTimeout(url), Bytes(std::string_view("echo")));
    EXPECT_EQ(url, Text(server.url("/echo")));
}

TEST_F(FetchWithTimeoutTest, RequestsNothingForAnEmptyUrl)
{
    Text url("  ");
    Text headers("untouched");
    EXPECT_TRUE(Web_FetchWithTimeout(url, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                     std::nullopt, &headers)
                    .empty());
    EXPECT_EQ(url, Text("  "));
    EXPECT_EQ(headers, Text("untouched"));
}

TEST_F(FetchWithTimeoutTest, AStallGivesTheTimeOutMessageWithinTheTimeOut)
{
    Text url(server.url("/stall"));
    Text headers("untouched");
    Text cookies("untouched");
    const Clock::time_point start = Clock::now();
    const Bytes body = Web_FetchWithTimeout(url, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                            1, &headers, kDecodeUtf8, &cookies);
    const auto elapsed = Clock::now() - start;
    EXPECT_EQ(body, kTimeoutMessage);  // not converted, whatever the decode type
    EXPECT_GE(elapsed, 1s);
    EXPECT_LT(elapsed, 1s + test::kTimeoutSlack);
    EXPECT_EQ(headers, Text("untouched"));
    EXPECT_EQ(cookies, Text("untouched"));
}

TEST_F(FetchWithTimeoutTest, ZeroOrNegativeTimeOutGivesTheMessageAtOnce)
{
    for (const int seconds : {0, -5}) {
        const Clock::time_point start = Clock::now();
        EXPECT_EQ(fetch("/echo", seconds), kTimeoutMessage) << seconds;
        EXPECT_LT(Clock::now() - start, test::kTimeoutSlack) << seconds;
    }
}

TEST_F(FetchWithTimeoutTest, ATimedOutWorkerStopsWhenToldAndBlocksNoLaterRequest)
{
    EXPECT_EQ(fetch("/stall", 1), kTimeoutMessage);
    EXPECT_EQ(fetch("/echo", 10), Bytes(std::string_view("echo")));
    // Told to stop, the abandoned worker ends long before the server would have answered it.
    EXPECT_TRUE(Thread_StopAll(5s));
}

TEST_F(FetchWithTimeoutTest, AWindowThatClosesEndsTheWaitAsATimeOut)
{
    test::InstalledPump pump;
    pump->startShutdown();
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(fetch("/stall", 30), kTimeoutMessage);
    EXPECT_LT(Clock::now() - start, 30s);
    EXPECT_EQ(pump->waits(), 1);
}

TEST_F(FetchWithTimeoutTest, DecodeTypesConvertTheTextBeforeTheFirstNul)
{
    // "中文" in UTF-8 and in Big5, each followed by a NUL and more bytes; "中文" in GBK is D6 D0 CE C4.
    server.handle("GET", "/utf8", [](const RecordedRequest&) { return Response::text(std::string("\xE4\xB8\xAD\xE6\x96\x87\0z", 8)); });
    server.handle("GET", "/big5", [](const RecordedRequest&) { return Response::text(std::string("\xA4\xA4\xA4\xE5\0z", 6)); });
    const struct
    {
        const char* path;
        std::optional<int> type;
        std::string expected;
    } cases[] = {
        {"/utf8", kDecodeUtf8, "\xD6\xD0\xCE\xC4"},
        {"/big5", kDecodeBig5, "\xD6\xD0\xCE\xC4"},
        {"/utf8", kDecodeNone, std::string("\xE4\xB8\xAD\xE6\x96\x87\0z", 8)},
        {"/utf8", 7, std::string("\xE4\xB8\xAD\xE6\x96\x87\0z", 8)},
    };
    for (const auto& c : cases) {
        Text url(server.url(c.path));
        const Bytes body = Web_FetchWithTimeout(url, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                                std::nullopt, 10, nullptr, c.type);
        EXPECT_EQ(body, Bytes(c.expected)) << c.path << " " << c.type.value_or(-1);
    }
}

TEST_F(FetchWithTimeoutTest, ARedirectIsNotFollowedWhenNotAllowed)
{
    server.handle("GET", "/moved", [](const RecordedRequest&) { return Response::redirect("/echo"); });
    Text url(server.url("/moved"));
    Text headers;
    Web_FetchWithTimeout(url, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, 10, &headers,
                         std::nullopt, nullptr, false);
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_TRUE(headers.view().starts_with("HTTP/1.1 302"));
}

// Each misbehaviour of the server ends in its defined outcome, without a hang past the time-out.
struct FaultCase
{
    const char* name;
    std::function<Response()> response;
    std::string expectedBody;
    int timeoutSeconds = 10;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class ServerFaultTest : public FetchWithTimeoutTest, public testing::WithParamInterface<FaultCase> {};

TEST_P(ServerFaultTest, EndsInItsDefinedOutcome)
{
    server.handle("GET", "/fault", [&](const RecordedRequest&) { return GetParam().response(); });
    server.handle("GET", "/loop", [](const RecordedRequest&) { return Response::redirect("/loop"); });
    server.handle("GET", "/to-https", [&](const RecordedRequest&) {
        return Response::redirect("https://" + server.hostPort() + "/echo");
    });
    Text url(server.url("/fault"));
    const Bytes body = Web_FetchWithTimeout(url, std::nullopt, std::nullopt, Text("Accept-Encoding: gzip\r\n"),
                                            std::nullopt, std::nullopt, GetParam().timeoutSeconds);
    EXPECT_EQ(body, Bytes(GetParam().expectedBody));
}

std::string bigText(std::size_t bytes)
{
    return std::string(bytes, 'x');
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ServerFaultTest,
    testing::Values(
        // What arrived before the server hung up is the body, as the platform's reads give it.
        FaultCase{"CloseInTheMiddleOfTheBody",
                  [] {
                      Response response = Response::text(bigText(5000));
                      response.closeAfterBodyBytes = 3000;
                      return response;
                  },
                  bigText(3000)},
        FaultCase{"ChunkedBody",
                  [] {
                      Response response = Response::text(bigText(3000));
                      response.chunked = true;
                      return response;
                  },
                  bigText(3000)},
        // Compressed bodies come as they were sent: nothing in the program asks for decoding.
        FaultCase{"GzipBody",
                  [] {
                      Response response = Response::text("zipped");
                      response.gzip = true;
                      return response;
                  },
                  std::string("\x1F\x8B\x08\x00\x00\x00\x00\x00\x00\x03\xAB\xCA\x2C\x28\x48\x4D\x01\x00\x57\x68"
                              "\xC2\xE2\x06\x00\x00\x00",
                              26)},
        FaultCase{"NulInsideTheBody", [] { return Response::text(std::string("a\0b", 3)); }, std::string("a\0b", 3)},
        FaultCase{"BytesThatAreNotHttp", [] { return Response::notHttp(std::string("\x01\x02 junk\r\n\r\nmore", 16)); },
                  ""},
        FaultCase{"RedirectLoop", [] { return Response::redirect("/loop"); }, ""},
        FaultCase{"RedirectToHttps", [] { return Response::redirect("/to-https"); }, ""},
        // 64 MiB take a while under the sanitizers.
        FaultCase{"BodyOverTheLimit", [] {
                      Response response = Response::text(bigText(kMaxBodyBytes + 1));
                      response.chunked = true;  // no length announced: the bytes received are counted
                      return response;
                  },
                  "", 120},
        FaultCase{"AnnouncedBodyOverTheLimit",
                  [] {
                      Response response = Response::text("abc");
                      response.header("Content-Length", std::to_string(kMaxBodyBytes + 1));
                      response.closeAfterBodyBytes = 3;
                      return response;
                  },
                  ""}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// A request whose URL, header text, cookie text or proxy would let a line break start a header
// line of its own is not made at all.
TEST_F(FetchWithTimeoutTest, RefusesLineBreaksThatWouldStartAHeaderLine)
{
    const struct
    {
        const char* name;
        std::string path;
        std::string headers;
        std::string cookies;
        std::string proxy;
    } cases[] = {
        {"UrlCrLf", "/echo\r\nX-Injected: 1", "", "", ""},
        {"UrlLf", "/echo\nX-Injected: 1", "", "", ""},
        {"HeaderLoneLf", "/echo", "X-A: 1\nX-Injected: 1\r\n", "", ""},
        {"HeaderLoneCr", "/echo", "X-A: 1\rX-Injected: 1\r\n", "", ""},
        {"CookieCrLf", "/echo", "", "a=1\r\nX-Injected: 1", ""},
        {"ProxyCrLf", "/echo", "", "", server.hostPort() + "\r\nX: 1"},
    };
    for (const auto& c : cases) {
        Text url(server.url(c.path));
        Text headers("untouched");
        const Bytes body = Web_FetchWithTimeout(url, std::nullopt, Text(c.proxy), Text(c.headers), std::nullopt,
                                                Text(c.cookies), 10, &headers);
        EXPECT_TRUE(body.empty()) << c.name;
        EXPECT_TRUE(headers.empty()) << c.name;
    }
    EXPECT_EQ(server.requestCount(), 0u);
}

TEST_F(FetchWithTimeoutTest, SendsUnsafeBytesOfTheRequestLinePercentEncoded)
{
    server.handle("GET", "/a%20b", [](const RecordedRequest&) { return Response::text("encoded"); });
    Text url(server.url("/a b?k=\xD6\xD0\x01\x7F#frag"));
    EXPECT_EQ(Web_FetchWithTimeout(url), Bytes(std::string_view("encoded")));
    EXPECT_EQ(server.requests().at(0).requestLine, "GET /a%20b?k=%D6%D0%01%7F%23frag HTTP/1.1");
}

// With no thread to be had, the call gives up at once instead of waiting out its time-out.
TEST_F(FetchWithTimeoutTest, ReturnsEmptyAtOnceWhenNoThreadCanStart)
{
    pthread_attr_t original;
    ASSERT_EQ(pthread_getattr_default_np(&original), 0);
    pthread_attr_t impossible;
    pthread_attr_init(&impossible);
    pthread_attr_setstacksize(&impossible, std::size_t{1} << 46);  // more than any machine can map
    ASSERT_EQ(pthread_setattr_default_np(&impossible), 0);
    const Clock::time_point start = Clock::now();
    const Bytes body = fetch("/echo", 30);
    pthread_setattr_default_np(&original);
    pthread_attr_destroy(&impossible);
    pthread_attr_destroy(&original);
    EXPECT_TRUE(body.empty());
    EXPECT_LT(Clock::now() - start, 30s);
    EXPECT_EQ(server.requestCount(), 0u);
}

}  // namespace
}  // namespace murrel
