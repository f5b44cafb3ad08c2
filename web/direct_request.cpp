// An HTTP request run on the calling thread, handling window events between its reads.
#include "web/direct_request.h"

#include "msgbox/msg_box.h"
#include "textutil/process_events.h"
#include "textutil/text_ops.h"
#include "web/body_decoding.h"
#include "web/header_completion.h"
#include "web/http_flags.h"
#include "web/http_request.h"
#include "web/response_cookies.h"
#include "web/url_pieces.h"
#include "web/wire_safety.h"

#include <array>

namespace murrel {
namespace {

const Text kDirectAgent("Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)");
// "【网页_访问】命令的第二个【访问方式】参数有误,请返回修改"
const Text kBadMethodMessage(
    "\xA1\xBE\xCD\xF8\xD2\xB3\x5F\xB7\xC3\xCE\xCA\xA1\xBF\xC3\xFC\xC1\xEE\xB5\xC4\xB5\xDA\xB6\xFE\xB8\xF6\xA1\xBE"
    "\xB7\xC3\xCE\xCA\xB7\xBD\xCA\xBD\xA1\xBF\xB2\xCE\xCA\xFD\xD3\xD0\xCE\xF3\x2C\xC7\xEB\xB7\xB5\xBB\xD8\xD0\xDE"
    "\xB8\xC4");
constexpr std::size_t kChunkBytes = 1024;

// The body, read with the window's events handled before every read; nothing when the window
// closed meanwhile or the body grew too large.
std::optional<Bytes> readBody(HttpRequest& request)
{
    Bytes body;
    for (;;) {
        std::array<char, kChunkBytes> chunk{};
        processEvents();
        if (shuttingDown()) {
            return std::nullopt;
        }
        const std::size_t count = request.read(chunk.data(), chunk.size());
        if (count == 0) {
            break;
        }
        body.append(std::string_view(chunk.data(), count));
    }
    if (request.bodyTooLarge() || shuttingDown()) {
        return std::nullopt;
    }
    return body;
}

}  // namespace

Bytes 网页_访问(Text& url, std::optional<int> 访问方式, const std::optional<Text>& proxy, Text* extraHeaders,
               const std::optional<Text>& postData, const std::optional<Text>& cookies, std::optional<int> decodeType,
               Text* returnedHeaders)
{
    url = trimBoth(url);
    const int way = 访问方式.value_or(0);
    if (way != 0 && way != 1) {
        Msg_Box(kBadMethodMessage);
        return {};
    }
    const bool post = way == 1;
    if (!hasHttpScheme(url)) {
        url = "http://" + url;
    }
    const Text host = Url_Host(url);
    const Text path = Url_Path(url);
    const Text proxyText = proxy.value_or(Text());
    const Text postText = postData.value_or(Text());
    const Text cookieText = cookies.value_or(Text());
    if (hasLineBreak(url) || hasLineBreak(proxyText) || hasLineBreak(cookieText)) {
        return {};
    }

    const std::optional<HttpSession> session =
        HttpSession::open(kDirectAgent, removeAllSpaces(proxyText).empty() ? std::nullopt : std::optional(proxyText));
    const std::optional<HttpConnection> connection =
        session ? HttpConnection::connect(*session, host, Url_Port(url)) : std::nullopt;
    std::optional<HttpRequest> request =
        connection ? HttpRequest::open(*connection, post ? "POST" : "GET", path, kFlagReload, [] { return shuttingDown(); })
                   : std::nullopt;
    if (!request) {
        return {};
    }

    const Text headers = completeDirectHeaders(extraHeaders ? *extraHeaders : Text(), url, post, postText.size(), cookieText);
    if (extraHeaders) {
        *extraHeaders = headers;
    }
    if (!request->send(headers, post ? postText.view() : std::string_view())) {
        return {};
    }
    const std::optional<Bytes> body = readBody(*request);
    const Text rawHeaders = request->rawHeaders();
    request.reset();
    if (!body) {
        return {};
    }
    if (returnedHeaders) {
        *returnedHeaders = rawHeaders;
    }
    storeResponseCookies(rawHeaders, host);
    return decodeBody(*body, decodeType);
}

Text Web_FetchText(Text& url)
{
    return bytesToText(网页_访问(url));
}

}  // namespace murrel
