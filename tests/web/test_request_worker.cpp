// The request worker against the stand-in: what reaches the server for a record, and what comes
// back in the record.
#include "web/request_record.h"
#include "web/request_worker.h"

#include "tests/support/standin_server.h"
#include "tests/web/web_test_support.h"
#include "textutil/text_ops.h"

#include <gtest/gtest.h>

#include <map>

namespace murrel {
namespace {

using test::RecordedRequest;
using test::Response;
using test::StandInServer;

const Text kTrue("\xD5\xE6");   // "真"
const Text kFalse("\xBC\xD9");  // "假"

struct WorkerRequest
{
    std::string url{};
    std::string method = "GET";
    std::string proxy{};
    std::string headers{};
    std::string postData{};
    std::string cookies{};
    Text redirects = kTrue;
};

RequestRecord recordOf(const WorkerRequest& request)
{
    RequestRecord record;
    record.field(1) = Bytes(request.url);
    record.field(2) = Bytes(request.method);
    record.field(3) = Bytes(request.proxy);
    record.field(4) = Bytes(request.headers);
    record.field(5) = Bytes(request.postData);
    record.field(6) = Bytes(request.cookies);
    record.field(7) = textToBytes(request.redirects);
    return record;
}

// Runs the worker on this thread, the way a background request hands the record over.
RequestRecord runWorker(const WorkerRequest& request)
{
    MemoryFile file;
    writeRecord(file, recordOf(request));
    Web_RequestWorker(file);
    file.seekToStart();
    std::optional<RequestRecord> back = readRecord(file);
    EXPECT_TRUE(back.has_value());
    return back.value_or(RequestRecord());
}

using RequestWorkerTest = test::StandInTest;

TEST(RequestRecordTest, KeepsBytesThatHoldLineFeedsAndNuls)
{
    RequestRecord record;
    record.field(1) = Bytes(std::string("a\nb\0c\r\n", 7));
    record.field(7) = Bytes(std::string_view("7"));
    MemoryFile file;
    writeRecord(file, record);
    file.seekToStart();
    const std::optional<RequestRecord> back = readRecord(file);
    ASSERT_TRUE(back);
    for (int number = 1; number <= RequestRecord::kFieldCount; ++number) {
        EXPECT_EQ(back->field(number), record.field(number)) << "field " << number;
    }
}

TEST(RequestRecordTest, RefusesBytesThatAreNoRecord)
{
    for (const std::string bytes : {"", "x\n", "7\n5\nab", "99999999999999999999\n"}) {
        MemoryFile file;
        file.writeBytes(bytes);
        file.seekToStart();
        EXPECT_FALSE(readRecord(file)) << bytes;
    }
}

TEST(RequestRecordTest, DropsFieldsBeyondTheSeventhAndLeavesMissingOnesEmpty)
{
    MemoryFile file;
    file.writeBytes("8\n1\na1\nb1\nc1\nd1\ne1\nf1\ng1\nh");
    file.seekToStart();
    std::optional<RequestRecord> eight = readRecord(file);
    ASSERT_TRUE(eight);
    EXPECT_EQ(eight->text(7), Text("g"));

    MemoryFile shortFile;
    shortFile.writeBytes("2\n1\na1\nb");
    shortFile.seekToStart();
    std::optional<RequestRecord> two = readRecord(shortFile);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->text(2), Text("b"));
    EXPECT_TRUE(two->field(3).empty());
}

// One row of the header completion table: what the caller gives, and the lines the server must get
// (nullopt: no such line at all).
struct CompletionCase
{
    const char* name;
    std::string method;
    std::string headers;
    std::string postData;
    std::string cookies;
    std::map<std::string, std::optional<std::string>> expected;
};

void PrintTo(const CompletionCase& c, std::ostream* out)
{
    *out << c.name;
}

class WorkerCompletionTest : public RequestWorkerTest, public testing::WithParamInterface<CompletionCase> {};

TEST_P(WorkerCompletionTest, SendsTheCompletedHeaderLines)
{
    const CompletionCase& c = GetParam();
    const std::string url = server.url("/echo?q=1");
    runWorker({.url = url, .method = c.method, .headers = c.headers, .postData = c.postData, .cookies = c.cookies});
    const RecordedRequest request = onlyRequest();
    EXPECT_EQ(request.requestLine, c.method + " /echo?q=1 HTTP/1.1");
    for (const auto& [name, value] : c.expected) {
        const std::string wanted = value && *value == "URL" ? url : value.value_or("");
        if (value) {
            EXPECT_EQ(request.headerCount(name), 1u) << name;
            EXPECT_EQ(request.header(name).value_or("<none>"), wanted) << name;
        } else {
            EXPECT_EQ(request.headerCount(name), 0u) << name;
        }
    }
    EXPECT_EQ(request.body, c.method == "POST" ? c.postData : "");
    for (const std::string& line : request.headerLines) {
        EXPECT_EQ(line.find("RefererNo"), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkerCompletionTest,
    testing::Values(
        CompletionCase{"Defaults", "GET", "", "", "",
                       {{"Accept", test::kDefaultAccept},
                        {"Referer", "URL"},
                        {"Accept-Language", "zh-cn"},
                        {"User-Agent", test::kWorkerAgent},
                        {"Cookie", std::nullopt},
                        {"Content-Type", std::nullopt},
                        {"Expect", std::nullopt}}},
        CompletionCase{"AcceptLanguageSuppressesAccept", "GET", "Accept-Language: en\r\n", "", "",
                       {{"Accept", std::nullopt}, {"Accept-Language", "en"}, {"Referer", "URL"}}},
        CompletionCase{"RefererNoMarker", "GET", "RefererNo\r\nX-A: 1\r\n", "", "",
                       {{"Referer", std::nullopt}, {"X-A", "1"}, {"Accept", test::kDefaultAccept}}},
        CompletionCase{"CallersReferer", "GET", "Referer: http://elsewhere/\r\n", "", "",
                       {{"Referer", "http://elsewhere/"}}},
        CompletionCase{"UserAgentLineIsTheAgent", "GET", "User-Agent:  Tester/1  \r\n", "", "",
                       {{"User-Agent", "Tester/1  "}}},
        CompletionCase{"CookieText", "GET", "", "", "k=v; w=2", {{"Cookie", "k=v; w=2"}}},
        CompletionCase{"PostWithData", "POST", "", "a=1&b=2", "",
                       {{"Content-Type", "application/x-www-form-urlencoded"}, {"Content-Length", "7"}}},
        CompletionCase{"PostKeepsCallersContentType", "POST", "Content-Type: text/plain\r\n", "abc", "",
                       {{"Content-Type", "text/plain"}, {"Content-Length", "3"}}},
        CompletionCase{"PostWithoutData", "POST", "", "", "", {{"Content-Type", std::nullopt}}},
        CompletionCase{"PostWithCookie", "POST", "", "x=1", "s=9",
                       {{"Cookie", "s=9"}, {"Content-Length", "3"}}}),
    [](const testing::TestParamInfo<CompletionCase>& info) { return std::string(info.param.name); });

TEST_F(RequestWorkerTest, ReturnsBodyCookieTextAndRawHeaders)
{
    server.handle("GET", "/set", [](const RecordedRequest&) {
        return Response::text(std::string("bo\0dy", 5)).setCookie("wa=1; path=/").setCookie("wb=2; path=/");
    });
    WorkerRequest request{.url = test::localhostUrl(server, "/set"), .proxy = "", .headers = "X-H: 1\r\n"};
    const RequestRecord back = runWorker(request);
    EXPECT_EQ(back.field(1), Bytes(std::string("bo\0dy", 5)));
    EXPECT_EQ(back.text(2), Text("wa=1;wb=2;"));
    const std::string raw = back.text(6).str();
    EXPECT_TRUE(raw.starts_with("HTTP/1.1 200 OK\r\n")) << raw;
    EXPECT_NE(raw.find("\r\nSet-Cookie: wb=2; path=/\r\n"), std::string::npos) << raw;
    EXPECT_TRUE(raw.ends_with("\r\n\r\n")) << raw;
    // Fields the worker does not answer in come back as they went.
    const RequestRecord sent = recordOf(request);
    for (int number : {3, 4, 5, 7}) {
        EXPECT_EQ(back.field(number), sent.field(number)) << "field " << number;
    }
}

TEST_F(RequestWorkerTest, CookieLinesWithoutSemicolonOrEqualsSign)
{
    server.handle("GET", "/odd", [](const RecordedRequest&) {
        return Response::text("").setCookie("plain=3").setCookie("novalue");
    });
    EXPECT_EQ(runWorker({.url = test::localhostUrl(server, "/odd")}).text(2), Text(";;"));
}

TEST_F(RequestWorkerTest, KeepsAHeaderBlockLongerThan2048BytesWhole)
{
    server.handle("GET", "/long", [](const RecordedRequest&) {
        Response response = Response::text("long");
        for (int i = 0; i < 40; ++i) {
            response.header("X-Filler-" + std::to_string(i), std::string(60, 'f'));
        }
        return response.setCookie("last=9; path=/");
    });
    const RequestRecord back = runWorker({.url = test::localhostUrl(server, "/long")});
    EXPECT_GT(back.field(6).size(), 2048u);
    EXPECT_EQ(back.text(2), Text("last=9;"));
}

TEST_F(RequestWorkerTest, EmptiesBodyCookiesAndHeadersWhenNoRequestCanBeOpened)
{
    for (const std::string url : {"http://bad host/", "http://127.0.0.1:99999/", "http://127.0.0.1:1/x"}) {
        const RequestRecord back = runWorker({.url = url, .cookies = "c=1"});
        EXPECT_TRUE(back.field(1).empty()) << url;
        EXPECT_TRUE(back.field(2).empty()) << url;
        EXPECT_TRUE(back.field(6).empty()) << url;
    }
}

TEST_F(RequestWorkerTest, FollowsRedirectsOnlyWhenAllowedAndKeepsTheLastHeaderBlock)
{
    server.handle("GET", "/from", [&](const RecordedRequest&) { return Response::redirect("/to"); });
    server.handle("GET", "/to", [](const RecordedRequest&) { return Response::text("arrived"); });

    const RequestRecord followed = runWorker({.url = server.url("/from")});
    EXPECT_EQ(followed.text(1), Text("arrived"));
    EXPECT_TRUE(followed.text(6).view().starts_with("HTTP/1.1 200"));
    EXPECT_EQ(followed.text(6).view().find("302"), std::string_view::npos);
    EXPECT_EQ(server.requestCount(), 2u);

    server.clearRequests();
    const RequestRecord stayed = runWorker({.url = server.url("/from"), .redirects = kFalse});
    EXPECT_TRUE(stayed.text(6).view().starts_with("HTTP/1.1 302 Found\r\n"));
    EXPECT_TRUE(stayed.field(1).empty());
    EXPECT_EQ(onlyRequest().path, "/from");
}

TEST_F(RequestWorkerTest, GoesThroughTheProxyOfField3)
{
    StandInServer proxy;
    proxy.handle("*", "/via", [](const RecordedRequest&) { return Response::text("from proxy"); });
    const RequestRecord back = runWorker({.url = server.url("/via"), .proxy = proxy.hostPort()});
    EXPECT_EQ(back.text(1), Text("from proxy"));
    EXPECT_EQ(server.requestCount(), 0u);
    ASSERT_EQ(proxy.requestCount(), 1u);
    EXPECT_EQ(proxy.requests().front().requestLine, "GET " + server.url("/via") + " HTTP/1.1");
}

TEST_F(RequestWorkerTest, SendsTheStoredCookiesOnlyWithoutACookieText)
{
    server.handle("GET", "/give", [](const RecordedRequest&) { return Response::text("").setCookie("kept=5; path=/"); });
    runWorker({.url = test::localhostUrl(server, "/give")});
    server.clearRequests();

    runWorker({.url = test::localhostUrl(server, "/echo")});
    EXPECT_EQ(onlyRequest().cookie("kept"), "5");

    // A cookie text of its own sets the no-cookies flag: only the caller's cookies go out.
    server.clearRequests();
    runWorker({.url = test::localhostUrl(server, "/echo"), .cookies = "mine=1"});
    EXPECT_EQ(onlyRequest().cookie("kept"), std::nullopt);
    EXPECT_EQ(onlyRequest().cookie("mine"), "1");
}

TEST_F(RequestWorkerTest, WritesNothingWhenTheFileHoldsNoRecord)
{
    MemoryFile file;
    file.writeBytes("not a record");
    Web_RequestWorker(file);
    EXPECT_EQ(file.size(), 12u);
    EXPECT_EQ(server.requestCount(), 0u);
}

}  // namespace
}  // namespace murrel
