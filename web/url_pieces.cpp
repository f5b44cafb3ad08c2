// Host, object path and port of a URL, cut by plain text searches.
#include "web/url_pieces.h"

#include "textutil/text_ops.h"

namespace murrel {

Text Url_Host(const Text& url)
{
    // Only the lower-case schemes are removed: "HTTP://Host" gives "http", which callers rely on.
    Text host = replaceSub(url, "https://", {}, true);
    host = replaceSub(host, "http://", {}, true);
    if (const int slash = find(host, "/"); slash != -1) {
        host = left(host, slash - 1);
    }
    if (const int colon = find(host, ":"); colon != -1) {
        host = left(host, colon - 1);
    }
    return toLower(host);
}

Text Url_Path(const Text& url)
{
    // A host that is not found gives -1, which find takes as the first byte.
    const int hostAt = find(url, Url_Host(url), std::nullopt, true);
    const int slash = find(url, "/", hostAt, true);
    if (slash == -1) {
        return "/";
    }
    return right(url, static_cast<int>(url.size()) - slash + 1);
}

int Url_Port(const Text& url)
{
    const int length = static_cast<int>(url.size());
    Text authority;
    if (textEquals(left(url, 7), "http://", false)) {
        const int slash = find(url, "/", 8);
        authority = slash == -1 ? right(url, length - 7) : mid(url, 8, slash - 8);
    } else {
        const int slash = find(url, "/");
        authority = slash == -1 ? url : left(url, slash - 1);
    }
    const int colon = find(authority, ":");
    const Text port = colon == -1 ? Text("80") : right(authority, static_cast<int>(authority.size()) - colon);
    return truncateToInt(textToNumber(port));
}

}  // namespace murrel
