// One HTTP request over libcurl, driven step by step through a multi handle so that the body can be
// read in chunks on the calling thread, as the platform's read call does.
#include "web/http_request.h"

#include "web/cookie_store.h"
#include "web/http_flags.h"
#include "web/wire_safety.h"

#include <curl/curl.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

namespace murrel {
namespace {

constexpr long kMaxRedirects = 30;
constexpr int kPollMilliseconds = 100;
// The platform gives up on a host that does not answer, or a response that stops arriving, after a
// minute; so does this layer.
constexpr long kConnectTimeoutMilliseconds = 60'000;
constexpr long kStalledSeconds = 60;

bool isTokenByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
                  return lower(x) == lower(y);
              });
}

// The header lines of a CR LF separated text, in order. libcurl sends a header given as "Name:"
// as no header at all, so an empty value is given as "Name;", which it sends as "Name:".
std::vector<std::string> headerLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
        const std::size_t colon = line.find(':');
        if (line.empty() || colon == std::string_view::npos || colon == 0) {
            continue;  // not a header line; the platform would not send it either
        }
        if (line.find_first_not_of(" \t", colon + 1) == std::string_view::npos) {
            lines.push_back(std::string(line.substr(0, colon)) + ";");
        } else {
            lines.emplace_back(line);
        }
    }
    return lines;
}

// A Content-Length line that announces more than kMaxBodyBytes.
bool announcesTooLargeBody(std::string_view line)
{
    constexpr std::string_view kName = "Content-Length:";
    if (line.size() < kName.size() || !equalsIgnoreCase(line.substr(0, kName.size()), kName)) {
        return false;
    }
    line.remove_prefix(kName.size());
    line.remove_prefix(std::min(line.find_first_not_of(" \t"), line.size()));
    std::size_t length = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), length);
    return error == std::errc::result_out_of_range || (error == std::errc() && length > kMaxBodyBytes);
}

bool hasHeader(const std::vector<std::string>& lines, std::string_view name)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        const std::size_t end = line.find_first_of(":;");
        return equalsIgnoreCase(std::string_view(line).substr(0, end), name);
    });
}

}  // namespace

// Owns everything libcurl hands out for one request and frees it in the order libcurl needs.
struct HttpRequest::Transfer
{
    Transfer() = default;
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
    ~Transfer()
    {
        if (m_multi && m_easy && m_added) {
            curl_multi_remove_handle(m_multi, m_easy);
        }
        if (m_easy) {
            curl_easy_cleanup(m_easy);
        }
        if (m_multi) {
            curl_multi_cleanup(m_multi);
        }
        curl_slist_free_all(m_headerList);
    }

    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);

    [[nodiscard]] bool stopRequested() const { return m_stop && m_stop(); }
    [[nodiscard]] std::size_t buffered() const { return m_pending.size() - m_pendingOffset; }
    // Lets libcurl work until `enough` holds or the transfer has ended.
    template <typename Predicate>
    void driveUntil(Predicate enough);

    std::shared_ptr<CookieStore> m_cookies;  // outlives the easy handle that shares it
    CURLM* m_multi = nullptr;
    CURL* m_easy = nullptr;
    curl_slist* m_headerList = nullptr;
    bool m_added = false;

    std::string m_method;
    std::string m_postBody;
    StopCheck m_stop;

    std::string m_pending;
    std::size_t m_pendingOffset = 0;
    std::size_t m_bodyBytes = 0;
    bool m_tooLarge = false;
    bool m_finished = false;
    std::string m_headerBlock;
    bool m_headerBlockEnded = false;
};

std::size_t HttpRequest::Transfer::onBody(char* data, std::size_t size, std::size_t count, void* self)
{
    auto& transfer = *static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    if (bytes > kMaxBodyBytes - transfer.m_bodyBytes) {
        transfer.m_tooLarge = true;
        return 0;  // anything but `bytes` ends the transfer
    }
    transfer.m_bodyBytes += bytes;
    transfer.m_pending.append(data, bytes);
    return bytes;
}

std::size_t HttpRequest::Transfer::onHeader(char* data, std::size_t size, std::size_t count, void* self)
{
    auto& transfer = *static_cast<Transfer*>(self);
    const std::size_t bytes = size * count;
    std::string_view line(data, bytes);
    // Every response of a redirect chain (and any interim 1xx) comes through here; keep the last.
    if (line.starts_with("HTTP/")) {
        transfer.m_headerBlock.clear();
        transfer.m_headerBlockEnded = false;
    }
    if (transfer.m_headerBlockEnded) {
        return bytes;  // trailers of a chunked body
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    if (announcesTooLargeBody(line)) {
        transfer.m_tooLarge = true;
        return 0;  // no need to receive what would be thrown away
    }
    transfer.m_headerBlock.append(line).append("\r\n");
    transfer.m_headerBlockEnded = line.empty();
    return bytes;
}

int HttpRequest::Transfer::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(self)->stopRequested() ? 1 : 0;
}

template <typename Predicate>
void HttpRequest::Transfer::driveUntil(Predicate enough)
{
    while (!m_finished && !enough()) {
        int running = 0;
        if (stopRequested() || curl_multi_perform(m_multi, &running) != CURLM_OK) {
            m_finished = true;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
            if (message->msg == CURLMSG_DONE) {
                m_finished = true;
            }
        }
        if (running == 0) {
            m_finished = true;
        }
        if (!m_finished && !enough()) {
            curl_multi_poll(m_multi, nullptr, 0, kPollMilliseconds, nullptr);
        }
    }
}

HttpRequest::HttpRequest(std::unique_ptr<Transfer> transfer) : m_transfer(std::move(transfer)) {}
HttpRequest::HttpRequest(HttpRequest&&) noexcept = default;
HttpRequest& HttpRequest::operator=(HttpRequest&&) noexcept = default;
HttpRequest::~HttpRequest() = default;

std::optional<HttpRequest> HttpRequest::open(const HttpConnection& connection, const Text& method, const Text& path,
                                             std::uint32_t flags, StopCheck stop)
{
    const std::string_view word = method.view();
    if (word.empty() || !std::all_of(word.begin(), word.end(), isTokenByte) || hasLineBreak(path)) {
        return std::nullopt;
    }
    auto transfer = std::make_unique<Transfer>();
    transfer->m_multi = curl_multi_init();
    transfer->m_easy = curl_easy_init();
    if (!transfer->m_multi || !transfer->m_easy) {
        return std::nullopt;
    }
    transfer->m_method = std::string(word);
    transfer->m_stop = std::move(stop);

    const bool secure = (flags & kFlagSecure) != 0;
    const int port = connection.port() != 0 ? connection.port() : (secure ? 443 : 80);
    const Text target = encodeRequestTarget(path.view().starts_with('/') ? path : "/" + path);
    const std::string url = std::string(secure ? "https://" : "http://") + connection.host().str() + ":"
                            + std::to_string(port) + target.str();
    const HttpSession& session = connection.session();
    const std::string proxy = !secure && session.httpProxy() ? "http://" + session.httpProxy()->str() : "";

    CURL* easy = transfer->m_easy;
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // An empty proxy and an empty no-proxy list keep the environment's proxy settings out.
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
    if (!session.agent().empty()) {
        curl_easy_setopt(easy, CURLOPT_USERAGENT, session.agent().c_str());
    }
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, (flags & kFlagNoAutoRedirect) ? 0L : 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
    if ((flags & kFlagNoCookies) == 0) {
        transfer->m_cookies = CookieStore::shared();
        curl_easy_setopt(easy, CURLOPT_SHARE, transfer->m_cookies->handle());
        curl_easy_setopt(easy, CURLOPT_COOKIEFILE, "");  // turns the cookie engine on, reads no file
    }
    // The body is handed over as it came; a caller that asks for a compressed body gets it compressed.
    curl_easy_setopt(easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMilliseconds);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, kStalledSeconds);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Transfer::onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, &Transfer::onProgress);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, transfer.get());
    if (word == "GET") {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (word == "POST") {
        curl_easy_setopt(easy, CURLOPT_POST, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, transfer->m_method.c_str());
    }
    return HttpRequest(std::move(transfer));
}

bool HttpRequest::send(const Text& headers, std::string_view body)
{
    Transfer& transfer = *m_transfer;
    if (transfer.m_added || hasStrayLineBreak(headers)) {
        return false;
    }
    std::vector<std::string> lines = headerLines(headers.view());
    // libcurl's own defaults that the platform does not send: taken out unless the text has them.
    const bool isPost = transfer.m_method == "POST";
    for (const char* name : {"Accept", "Expect", "Content-Type"}) {
        if (!hasHeader(lines, name) && (isPost || std::strcmp(name, "Content-Type") != 0)) {
            lines.push_back(std::string(name) + ":");
        }
    }
    for (const std::string& line : lines) {
        curl_slist* appended = curl_slist_append(transfer.m_headerList, line.c_str());
        if (!appended) {
            return false;
        }
        transfer.m_headerList = appended;
    }
    CURL* easy = transfer.m_easy;
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer.m_headerList);
    if (isPost) {
        transfer.m_postBody = std::string(body);
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(transfer.m_postBody.size()));
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, transfer.m_postBody.data());
    }
    if (curl_multi_add_handle(transfer.m_multi, easy) != CURLM_OK) {
        transfer.m_finished = true;
        return true;
    }
    transfer.m_added = true;
    transfer.driveUntil([&] { return transfer.buffered() > 0; });
    return true;
}

std::size_t HttpRequest::read(char* buffer, std::size_t capacity)
{
    Transfer& transfer = *m_transfer;
    if (!transfer.m_added || capacity == 0) {
        return 0;
    }
    transfer.driveUntil([&] { return transfer.buffered() > 0; });
    if (transfer.m_tooLarge) {
        return 0;
    }
    const std::size_t count = std::min(capacity, transfer.buffered());
    std::memcpy(buffer, transfer.m_pending.data() + transfer.m_pendingOffset, count);
    transfer.m_pendingOffset += count;
    if (transfer.m_pendingOffset == transfer.m_pending.size()) {
        transfer.m_pending.clear();
        transfer.m_pendingOffset = 0;
    }
    return count;
}

Text HttpRequest::rawHeaders() const
{
    return Text(m_transfer->m_headerBlock);
}

bool HttpRequest::bodyTooLarge() const
{
    return m_transfer->m_tooLarge;
}

}  // namespace murrel
