// Find, cut, replace, trim and convert GBK text with the byte rules every cutting step relies on.
// Searching steps by characters: a byte of 0x80 or above starts a two-byte character whose second
// byte is never looked at on its own. Left, right and mid count bytes and may split a character.
// Ignoring case folds the ASCII letters A-Z/a-z only. Positions are 1-based; a failed search is -1.
#pragma once

#include "textutil/text.h"

#include <initializer_list>
#include <optional>

namespace murrel {

// 1-based position of the first occurrence of `wanted` at or after `start` (absent or <= 1: the first
// byte; past the end: not found), counted from the first byte of the whole text, or -1. An empty
// `wanted` gives 1 when the searched part is not empty, else -1.
[[nodiscard]] int find(const Text& text, const Text& wanted, std::optional<int> start = std::nullopt,
                       bool ignoreCase = false);
// 1-based position of the last occurrence in the whole text, or -1.
[[nodiscard]] int reverseFind(const Text& text, const Text& wanted, bool ignoreCase = false);

// First n bytes; n <= 0 gives the empty text, n beyond the length the whole text.
[[nodiscard]] Text left(const Text& text, int n);
// Last n bytes; same bounds as left.
[[nodiscard]] Text right(const Text& text, int n);
// Up to n bytes from the 1-based start; a start below 1 or past the end, or n <= 0, gives the empty text.
[[nodiscard]] Text mid(const Text& text, int start, int n);

// Replaces non-overlapping occurrences of `old` left to right, from `start` (default 1), at most `count`
// times (default all). An empty text or an empty `old` gives the text unchanged.
[[nodiscard]] Text replaceSub(const Text& text, const Text& old, const Text& replacement, bool caseSensitive,
                              std::optional<int> start = std::nullopt, std::optional<int> count = std::nullopt);
// Removes up to `length` bytes from the 1-based start (below 1 counts as 1, past the end as the end),
// then inserts `insert` there when given.
[[nodiscard]] Text replaceAt(const Text& text, int start, int length,
                             const std::optional<Text>& insert = std::nullopt);

// Removes leading and trailing ASCII spaces and full-width spaces (A1 A1); tabs and line ends stay.
[[nodiscard]] Text trimBoth(const Text& text);
// Removes every ASCII space and every full-width space, nothing else.
[[nodiscard]] Text removeAllSpaces(const Text& text);
[[nodiscard]] Text toUpper(const Text& text);
[[nodiscard]] Text toLower(const Text& text);

// The byte at the 1-based position (default 1) as a signed number; 0 outside the text.
[[nodiscard]] int charCode(const Text& text, std::optional<int> position = std::nullopt);
// The one-byte text of that byte; code 0 gives the empty text.
[[nodiscard]] Text charFromCode(int code);
// n spaces; n below 1 gives the empty text.
[[nodiscard]] Text blankText(int n);
// Equality with the ASCII letters folded unless caseSensitive.
[[nodiscard]] bool textEquals(const Text& a, const Text& b, bool caseSensitive);
[[nodiscard]] Text join(std::initializer_list<Text> parts);

// n zero bytes; n below 1 gives the empty value.
[[nodiscard]] Bytes blankBytes(int n);
// First n bytes; n beyond the length gives all, a negative n the empty value.
[[nodiscard]] Bytes bytesLeft(const Bytes& bytes, int n);
[[nodiscard]] Bytes join(std::initializer_list<Bytes> parts);

// Signed decimal form.
[[nodiscard]] Text intToText(long long value);
// "真" for true, "假" for false (in GBK).
[[nodiscard]] Text boolToText(bool value);
// Full-width characters become half-width, then the decimal number at the start is read as far as it
// goes; nothing readable gives 0.
[[nodiscard]] double textToNumber(const Text& text);
// A computed real number as an integer: truncated toward zero, held to the int range, NaN as 0.
[[nodiscard]] int truncateToInt(double value);

}  // namespace murrel
