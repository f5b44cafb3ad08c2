// Cutting a piece out of a GBK text by marker searches.
#include "textutil/cutting.h"

#include "textutil/text_ops.h"

namespace murrel {
namespace {

// In a marker, "#引号" stands for a double quote, which the caller's source could not easily hold.
Text unquoteMarker(const Text& marker)
{
    return replaceSub(marker, "#\xD2\xFD\xBA\xC5", "\"", true);  // "#引号"
}

int length(const Text& text)
{
    return static_cast<int>(text.size());
}

}  // namespace

Text Text_AfterLast(const Text& text, const Text& separator, std::optional<bool> ignoreCase)
{
    const int at = reverseFind(text, separator, ignoreCase.value_or(false));
    if (at == -1) {
        return {};
    }
    return right(text, length(text) - length(separator) - at + 1);
}

Text Text_Between(const Text& text, const Text& first, const Text& second, std::optional<int> start,
                  std::optional<bool> caseSensitive)
{
    const bool ignoreCase = !caseSensitive.value_or(false);
    const Text firstMarker = unquoteMarker(first);
    const Text secondMarker = unquoteMarker(second);
    const int at = find(text, firstMarker, start, ignoreCase);
    if (at == -1) {
        return {};
    }
    const Text remainder = right(text, length(text) - at - length(firstMarker) + 1);
    // The start position places the first marker only: the second marker is searched for from the
    // first byte of the remainder, so that it is the one right after the first marker.
    const int end = find(remainder, secondMarker, std::nullopt, ignoreCase);
    if (end == -1) {
        return {};
    }
    return left(remainder, end - 1);
}

Text Text_Before(const Text& text, const Text& marker, std::optional<int> start, std::optional<bool> ignoreCase)
{
    const int at = find(text, marker, start, ignoreCase.value_or(false));
    if (at == -1) {
        return {};
    }
    return left(text, at - 1);
}

}  // namespace murrel
