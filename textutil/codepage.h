// Conversions of UTF-8 and Big5 byte strings into GBK text, always by way of UTF-16, and between GBK
// and UTF-16.
// Results end at their first NUL; a conversion that cannot be made gives the empty text.
#pragma once

#include "textutil/text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace murrel {

inline constexpr int kCodePageAnsi = 0;  // the system's ANSI code page, GBK here
inline constexpr int kCodePageGbk = 936;
inline constexpr int kCodePageBig5 = 950;
inline constexpr int kCodePageUtf8 = 65001;

// A received body in UTF-8 (NULs allowed) to GBK; base characters with combining marks are composed.
[[nodiscard]] Text Code_Utf8BytesToGbk(const Bytes& body);
// A UTF-8 text to GBK.
[[nodiscard]] Text Code_Utf8ToGbk(const Text& text);
// A Big5 text to simplified GBK; a character GBK cannot represent ends the text.
[[nodiscard]] Text Code_Big5ToGbk(const Text& text);
// The UTF-16LE units of the text in the given code page (default UTF-8), with a terminating zero unit.
[[nodiscard]] Bytes Code_ToWide(const Text& text, std::optional<int> codePage = std::nullopt);
// The units before the first zero unit, in the given code page (default the ANSI code page, GBK).
[[nodiscard]] Text Code_FromWide(const Bytes& wide, std::optional<int> codePage = std::nullopt);
// Traditional characters replaced by simplified ones; the byte length never changes.
[[nodiscard]] Text Code_ToSimplified(const Text& text);

// GBK text to UTF-16 units, without a terminating unit. Bytes that GBK does not define become U+FFFD.
[[nodiscard]] std::u16string gbkToUtf16(const Text& text);
// UTF-16 units to GBK text, ending at the first zero unit; characters GBK lacks become "?".
[[nodiscard]] Text utf16ToGbk(std::u16string_view units);
// For each unit that gbkToUtf16 gives for the text, the 0-based offset of the byte it starts at,
// followed by one entry holding the text's length.
[[nodiscard]] std::vector<std::size_t> gbkUnitOffsets(const Text& text);

}  // namespace murrel
