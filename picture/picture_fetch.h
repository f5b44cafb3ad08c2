// Fetching a picture in the background and handing it back re-encoded.
#pragma once

#include "textutil/text.h"

#include <optional>

namespace murrel {

// Fetches `url` through `proxy` (empty: direct) within `timeout` seconds (default 10) and re-encodes
// the body as `format` (default GIF). `headersOut` receives the raw response headers unless the
// request timed out. Empty bytes when nothing could be fetched, decoded or encoded.
[[nodiscard]] Bytes Picture_Fetch(const Text& url, const Text& proxy, Text& headersOut,
                                  std::optional<int> format = std::nullopt,
                                  std::optional<int> timeout = std::nullopt);

}  // namespace murrel
