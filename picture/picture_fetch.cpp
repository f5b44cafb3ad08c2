// Picture fetch: a background GET followed by re-encoding.
#include "picture/picture_fetch.h"

#include "picture/picture_convert.h"
#include "web/fetch_with_timeout.h"

namespace murrel {

namespace {
constexpr int kDefaultTimeoutSeconds = 10;
}  // namespace

Bytes Picture_Fetch(const Text& url, const Text& proxy, Text& headersOut, std::optional<int> format,
                    std::optional<int> timeout)
{
    Text address = url;
    const Bytes picture = Web_FetchWithTimeout(address, std::nullopt, proxy, std::nullopt, std::nullopt,
                                               std::nullopt, timeout.value_or(kDefaultTimeoutSeconds),
                                               &headersOut);
    // After a time-out the body is the time-out message, which decodes to nothing.
    Bytes result;
    (void)Picture_Convert(picture, format.value_or(kPictureGif), Text(), result);
    return result;
}

}  // namespace murrel
