// The cookies that a response sets: stored in the cookie store and gathered into a cookie text.
#include "web/response_cookies.h"

#include "textutil/cutting.h"
#include "textutil/memory_file.h"
#include "textutil/text_ops.h"
#include "web/cookie_store.h"

namespace murrel {
namespace {

const Text kSetCookie("Set-Cookie: ");
constexpr int kSetCookieLength = 12;

}  // namespace

Text storeResponseCookies(const Text& rawHeaders, const Text& host)
{
    Text returned;
    if (find(rawHeaders, kSetCookie, std::nullopt, true) == -1) {
        return returned;
    }
    MemoryFile lines;
    lines.writeText(rawHeaders);
    lines.seekToStart();
    while (!lines.atEnd()) {
        const Text line = bytesToText(lines.readLine());
        if (find(line, kSetCookie, std::nullopt, true) == -1) {
            continue;
        }
        const Text cookieLine = mid(line, kSetCookieLength + 1, static_cast<int>(line.size()));
        returned += Text_Before(cookieLine, ";") + ";";
        const int equals = find(cookieLine, "=");
        const Text name = equals == -1 ? Text() : left(cookieLine, equals - 1);
        const Text data = equals == -1 ? cookieLine : mid(cookieLine, equals + 1, static_cast<int>(cookieLine.size()));
        storeCookie("http://" + host, name, data);
    }
    return returned;
}

}  // namespace murrel
