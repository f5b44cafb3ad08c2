// The body of a background request's worker thread: one HTTP request run from a RequestRecord.
#include "web/request_worker.h"

#include "textutil/cutting.h"
#include "textutil/text_ops.h"
#include "web/header_completion.h"
#include "web/http_flags.h"
#include "web/http_request.h"
#include "web/request_record.h"
#include "web/response_cookies.h"
#include "web/url_pieces.h"
#include "web/wire_safety.h"

#include <array>

namespace murrel {
namespace {

const Text kWorkerAgent(
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
    ".NET CLR 3.5.21022)");
constexpr std::size_t kChunkBytes = 2048;

Text agentOf(const Text& headers)
{
    if (find(headers, "User-Agent:", std::nullopt, true) == -1) {
        return kWorkerAgent;
    }
    return trimBoth(Text_Between(headers, "User-Agent:", "\r\n"));
}

std::uint32_t flagWord(const Text& cookies, bool redirectsAllowed, bool secure)
{
    std::uint32_t flags = kFlagReload | kFlagNeedFile;
    if (!trimBoth(cookies).empty()) {
        flags |= kFlagNoCookies;
    }
    if (!redirectsAllowed) {
        flags |= kFlagNoAutoRedirect;
    }
    flags |= secure ? kFlagSecure : kFlagIgnoreRedirectToHttps;
    return flags;
}

// The body, or nothing when the request was refused, stopped or grew too large.
std::optional<Bytes> readBody(HttpRequest& request, const std::atomic<bool>* stop)
{
    Bytes body;
    std::array<char, kChunkBytes> chunk{};
    while (const std::size_t count = request.read(chunk.data(), chunk.size())) {
        body.append(std::string_view(chunk.data(), count));
    }
    if (request.bodyTooLarge() || (stop && stop->load())) {
        return std::nullopt;
    }
    return body;
}

}  // namespace

void Web_RequestWorker(MemoryFile& file, const std::atomic<bool>* stop)
{
    file.seekToStart();
    std::optional<RequestRecord> record = readRecord(file);
    if (!record) {
        return;
    }
    const Text url = record->text(1);
    const Text method = record->text(2);
    const Text proxy = record->text(3);
    const Text headers = record->text(4);
    const Bytes postData = record->field(5);
    const Text cookies = record->text(6);
    const bool redirectsAllowed = record->text(7) == boolToText(true);
    const bool secure = find(toLower(url), "https://") != -1;
    const Text host = Url_Host(url);

    const auto finish = [&](Bytes body, Text returnedCookies, Text rawHeaders) {
        record->field(1) = std::move(body);
        record->field(2) = textToBytes(returnedCookies);
        record->field(6) = textToBytes(rawHeaders);
        file.seekToStart();
        writeRecord(file, *record);
    };

    std::optional<HttpRequest> request;
    if (!hasLineBreak(url) && !hasLineBreak(proxy) && !hasLineBreak(cookies)) {
        const std::optional<HttpSession> session =
            HttpSession::open(agentOf(headers), record->field(3).empty() ? std::nullopt : std::optional(proxy));
        const std::optional<HttpConnection> connection =
            session ? HttpConnection::connect(*session, host, secure ? 443 : Url_Port(url)) : std::nullopt;
        if (connection) {
            request = HttpRequest::open(*connection, method, Url_Path(url), flagWord(cookies, redirectsAllowed, secure),
                                        [stop] { return stop && stop->load(); });
        }
    }
    if (!request) {
        finish({}, {}, {});
        return;
    }

    const Text completed = completeWorkerHeaders(headers, url, method, postData.size(), cookies);
    if (!request->send(completed, method == "POST" ? postData.view() : std::string_view())) {
        finish({}, {}, {});
        return;
    }
    std::optional<Bytes> body = readBody(*request, stop);
    const Text rawHeaders = request->rawHeaders();
    request.reset();
    if (!body) {
        finish({}, {}, {});
        return;
    }
    const Text returnedCookies = storeResponseCookies(rawHeaders, host);
    finish(std::move(*body), returnedCookies, rawHeaders);
}

}  // namespace murrel
