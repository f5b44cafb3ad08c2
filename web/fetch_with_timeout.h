// An HTTP request run on a worker thread while the calling (UI) thread waits with a time-out,
// keeping the window responsive.
#pragma once

#include "textutil/text.h"
#include "web/body_decoding.h"

#include <optional>

namespace murrel {

// Method argument: 1 is POST, anything else GET.
inline constexpr int kMethodPost = 1;

// Requests `url` (which receives "http://" in front when it has no scheme) and returns the body,
// empty bytes when nothing could be requested, or the time-out message once `超时返回` seconds
// (default 60) have passed. The outputs are written only when given and only when the worker ended
// in time.
Bytes Web_FetchWithTimeout(Text& url,
                           std::optional<int> method = std::nullopt,
                           const std::optional<Text>& proxy = std::nullopt,
                           const std::optional<Text>& extraHeaders = std::nullopt,
                           const std::optional<Bytes>& postData = std::nullopt,
                           const std::optional<Text>& cookies = std::nullopt,
                           std::optional<int> 超时返回 = std::nullopt,
                           Text* returnedHeaders = nullptr,
                           std::optional<int> decodeType = std::nullopt,
                           Text* returnedCookies = nullptr,
                           std::optional<bool> redirectsAllowed = std::nullopt);

}  // namespace murrel
