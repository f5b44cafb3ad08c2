// The program's header defaults: how each request routine completes the caller's header text.
#include "web/header_completion.h"

#include "textutil/text_ops.h"

namespace murrel {
namespace {

const Text kAcceptLanguageLine("Accept-Language: zh-cn\r\n");
const Text kFormContentTypeLine("Content-Type: application/x-www-form-urlencoded\r\n");

bool holds(const Text& text, const Text& wanted)
{
    return find(text, wanted, std::nullopt, true) != -1;
}

Text refererLine(const Text& url)
{
    return "Referer: " + url + "\r\n";
}

Text contentLengthLine(std::size_t bytes)
{
    return "Content-Length: " + intToText(static_cast<long long>(bytes)) + "\r\n";
}

Text cookieLine(const Text& cookies)
{
    return "Cookie: " + cookies + "\r\n\r\n";
}

}  // namespace

const Text kDefaultAcceptLine(
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n");

Text completeWorkerHeaders(const Text& headers, const Text& url, const Text& method, std::size_t postDataBytes,
                           const Text& cookies)
{
    Text text = headers;
    if (!holds(text, "Accept")) {
        text += kDefaultAcceptLine;
    }
    if (holds(text, "RefererNo")) {
        text = replaceSub(text, "RefererNo", "", true, std::nullopt, 1);
    } else if (!holds(text, "Referer")) {
        text += refererLine(url);
    }
    if (!holds(text, "Accept-Language")) {
        text += kAcceptLanguageLine;
    }
    if (method == "POST" && postDataBytes > 0) {
        if (!holds(text, "Content-Type")) {
            text += kFormContentTypeLine;
        }
        if (!holds(text, "Content-Length")) {
            text += contentLengthLine(postDataBytes);
        }
    }
    if ((method == "GET" || method == "POST") && !cookies.empty()) {
        text += cookieLine(cookies);
    }
    return text;
}

Text completeDirectHeaders(const Text& headers, const Text& url, bool post, std::size_t postDataBytes,
                           const Text& cookies)
{
    Text text = headers;
    if (!holds(text, "Accept: ")) {
        text += kDefaultAcceptLine;
    }
    if (!holds(text, "Referer: ")) {
        text += refererLine(url);
    }
    if (!holds(text, "Accept-Language: ")) {
        text += kAcceptLanguageLine;
    }
    if (post && postDataBytes > 0) {
        text += kFormContentTypeLine;
        text += contentLengthLine(postDataBytes);
    }
    if (!cookies.empty()) {
        text += cookieLine(cookies);
    }
    return text;
}

}  // namespace murrel
