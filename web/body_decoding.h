// The decode types of a fetched body, shared by both request routines.
#pragma once

#include "textutil/text.h"

#include <optional>

namespace murrel {

inline constexpr int kDecodeNone = 0;
inline constexpr int kDecodeUtf8 = 1;  // UTF-8 to GBK
inline constexpr int kDecodeBig5 = 2;  // Big5 to GBK

// Type 1 or 2 converts the body taken as a text (its bytes up to the first NUL) to GBK; any other
// type, or none, gives every byte unchanged.
[[nodiscard]] Bytes decodeBody(const Bytes& body, std::optional<int> decodeType);

// True when the URL begins with "http://" or "https://", case respected.
[[nodiscard]] inline bool hasHttpScheme(const Text& url)
{
    return url.view().starts_with("http://") || url.view().starts_with("https://");
}

}  // namespace murrel
