// Fuzzes find, reverse find, replace and trim against plain reference walks of the same byte rules.
#include "fuzz/fuzz_require.h"
#include "textutil/text_ops.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace murrel;

using murrel::fuzz::require;

// 0-based starts of the characters: a byte of 0x80 or more takes the next byte with it.
std::vector<std::size_t> boundaries(std::string_view text)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1) {
        starts.push_back(i);
    }
    return starts;
}

bool sameAt(std::string_view text, std::size_t at, std::string_view wanted, bool ignoreCase)
{
    if (text.size() - at < wanted.size()) {
        return false;
    }
    for (std::size_t k = 0; k < wanted.size(); ++k) {
        auto a = static_cast<unsigned char>(text[at + k]);
        auto b = static_cast<unsigned char>(wanted[k]);
        if (ignoreCase) {
            a = (a >= 'A' && a <= 'Z') ? static_cast<unsigned char>(a + 32) : a;
            b = (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
        }
        if (a != b) {
            return false;
        }
    }
    return true;
}

int referenceFind(std::string_view text, std::string_view wanted, int start, bool ignoreCase)
{
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    if (from >= text.size()) {
        return -1;
    }
    if (wanted.empty()) {
        return 1;
    }
    for (const std::size_t at : boundaries(text)) {
        if (at >= from && sameAt(text, at, wanted, ignoreCase)) {
            return static_cast<int>(at + 1);
        }
    }
    return -1;
}

int referenceReverseFind(std::string_view text, std::string_view wanted, bool ignoreCase)
{
    int last = -1;
    for (const std::size_t at : boundaries(text)) {
        if (sameAt(text, at, wanted, ignoreCase)) {
            last = static_cast<int>(at + 1);
        }
    }
    return wanted.empty() && !text.empty() ? 1 : last;
}

std::string referenceReplace(std::string_view text, std::string_view old, std::string_view replacement,
                             bool ignoreCase, int start, int count)
{
    if (text.empty() || old.empty()) {
        return std::string(text);
    }
    const std::size_t from = start <= 1 ? 0 : static_cast<std::size_t>(start - 1);
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (count != 0 && i >= from && sameAt(text, i, old, ignoreCase)) {
            out.append(replacement);
            i += old.size();
            --count;
            continue;
        }
        const std::size_t unit = static_cast<unsigned char>(text[i]) >= 0x80 && i + 1 < text.size() ? 2 : 1;
        out.append(text.substr(i, unit));
        i += unit;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool ignoreCase = input.ConsumeBool();
    const bool giveCount = input.ConsumeBool();
    const int count = input.ConsumeIntegralInRange(-1, 4);
    const int start = input.ConsumeIntegralInRange(-2, 70);
    const Text wanted(input.ConsumeRandomLengthString(8));
    const Text replacement(input.ConsumeRandomLengthString(8));
    const Text text(input.ConsumeRemainingBytesAsString());
    const std::string_view t = text.view();

    require(find(text, wanted, start, ignoreCase) == referenceFind(t, wanted.view(), start, ignoreCase));
    require(find(text, wanted, std::nullopt, ignoreCase) == referenceFind(t, wanted.view(), 1, ignoreCase));
    require(reverseFind(text, wanted, ignoreCase) == referenceReverseFind(t, wanted.view(), ignoreCase));

    const Text replaced = replaceSub(text, wanted, replacement, !ignoreCase, start,
                                     giveCount ? std::optional<int>(count) : std::nullopt);
    const int referenceCount = giveCount ? std::max(count, 0) : -1;
    require(replaced.view() ==
            referenceReplace(t, wanted.view(), replacement.view(), ignoreCase, start, referenceCount));

    // Trimming removes only space units at the ends: it is idempotent and loses no other byte.
    const Text trimmed = trimBoth(text);
    require(trimBoth(trimmed) == trimmed);
    require(removeAllSpaces(trimmed) == removeAllSpaces(text));
    require(t.find(trimmed.view()) != std::string_view::npos);

    require(left(text, start).size() <= t.size() && right(text, start).size() <= t.size());
    require(mid(text, start, count).size() <= static_cast<std::size_t>(std::max(count, 0)));
    require(toLower(toUpper(text)) == toLower(text));
    (void)truncateToInt(textToNumber(text));
    return 0;
}
