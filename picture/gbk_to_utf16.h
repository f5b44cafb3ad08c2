// GBK text to the UTF-16LE form that encoder identifiers are written in.
#pragma once

#include "textutil/text.h"

#include <optional>

namespace murrel {

// The UTF-16LE units of `source` with a terminating zero unit, which `dropTerminator` (default false)
// leaves off; the empty text gives empty bytes.
[[nodiscard]] Bytes Code_GbkToUtf16(const Text& source, std::optional<bool> dropTerminator = std::nullopt);

}  // namespace murrel
