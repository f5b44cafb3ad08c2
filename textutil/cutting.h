// Cut a piece out of a GBK text by searching for marker texts; a failed search gives the empty text.
#pragma once

#include "textutil/text.h"

#include <optional>

namespace murrel {

// The bytes after the last occurrence of `separator` (case matters unless ignoreCase), or empty.
[[nodiscard]] Text Text_AfterLast(const Text& text, const Text& separator,
                                  std::optional<bool> ignoreCase = std::nullopt);

// The bytes between the first `first` and the next `second` after it (case ignored unless
// caseSensitive), or empty. In a marker, "#引号" stands for a double quote.
[[nodiscard]] Text Text_Between(const Text& text, const Text& first, const Text& second,
                                std::optional<int> start = std::nullopt,
                                std::optional<bool> caseSensitive = std::nullopt);

// The bytes before the first `marker` at or after `start` (default 1; case matters unless ignoreCase),
// always from the first byte of the text; empty when the marker is missing.
[[nodiscard]] Text Text_Before(const Text& text, const Text& marker, std::optional<int> start = std::nullopt,
                               std::optional<bool> ignoreCase = std::nullopt);

}  // namespace murrel
