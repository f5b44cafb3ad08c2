// An HTTP request run on the calling thread, handling window events between its reads.
#pragma once

#include "textutil/text.h"

#include <optional>

namespace murrel {

// Requests `url` (trimmed and given "http://" when it has no scheme, both written back) with
// `访问方式` 0 (GET, the default) or 1 (POST); any other value is refused with a message box.
// `extraHeaders`, when given, receives the completed header text; `returnedHeaders`, when given,
// receives the raw response headers once the request was made.
Bytes 网页_访问(Text& url,
               std::optional<int> 访问方式 = std::nullopt,
               const std::optional<Text>& proxy = std::nullopt,
               Text* extraHeaders = nullptr,
               const std::optional<Text>& postData = std::nullopt,
               const std::optional<Text>& cookies = std::nullopt,
               std::optional<int> decodeType = std::nullopt,
               Text* returnedHeaders = nullptr);

// `网页_访问` with every option at its default; the body as text (up to its first NUL).
Text Web_FetchText(Text& url);

}  // namespace murrel
