// Find, cut, replace, trim and convert GBK text.
#include "textutil/text_ops.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale.h>
#include <stdlib.h>

namespace murrel {
namespace {

constexpr unsigned char kLeadMin = 0x80;
constexpr unsigned char kFullWidthSpaceByte = 0xA1;

bool isLead(unsigned char byte)
{
    return byte >= kLeadMin;
}

// Length of the character unit starting at i: two for a lead byte (one when the text ends there).
std::size_t unitLength(std::string_view text, std::size_t i)
{
    return (isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

unsigned char foldAscii(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + ('a' - 'A')) : byte;
}

bool bytesEqual(std::string_view a, std::string_view b, bool ignoreCase)
{
    if (a.size() != b.size()) {
        return false;
    }
    if (!ignoreCase) {
        return a == b;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldAscii(static_cast<unsigned char>(a[i])) != foldAscii(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool matchesAt(std::string_view text, std::size_t i, std::string_view wanted, bool ignoreCase)
{
    return text.size() - i >= wanted.size() && bytesEqual(text.substr(i, wanted.size()), wanted, ignoreCase);
}

// 0-based index of the first byte at or after `from`, up to `last`, that equals `first` (either case of
// an ASCII letter with ignoreCase), or npos.
std::size_t nextCandidate(std::string_view text, char first, std::size_t from, std::size_t last, bool ignoreCase)
{
    const auto folded = foldAscii(static_cast<unsigned char>(first));
    if (!ignoreCase || folded < 'a' || folded > 'z') {
        const void* hit = std::memchr(text.data() + from, first, last - from + 1);
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data()) : std::string_view::npos;
    }
    for (std::size_t i = from; i <= last; ++i) {
        if (foldAscii(static_cast<unsigned char>(text[i])) == folded) {
            return i;
        }
    }
    return std::string_view::npos;
}

// 0-based index of the first match of a non-empty `wanted` at or after `from` that begins on a
// character, or npos. Characters are stepped from `walk`, which must begin one and lie at or before
// `from`. Candidates are found by their first byte and only then checked against the stepping, so
// stretches without a candidate are skipped at memchr speed.
std::size_t findFrom(std::string_view text, std::string_view wanted, std::size_t walk, std::size_t from,
                     bool ignoreCase)
{
    if (wanted.size() > text.size() || from > text.size() - wanted.size()) {
        return std::string_view::npos;
    }
    const std::size_t last = text.size() - wanted.size();
    std::size_t candidate = from;
    while (candidate <= last) {
        candidate = nextCandidate(text, wanted[0], candidate, last, ignoreCase);
        if (candidate == std::string_view::npos) {
            return candidate;
        }
        while (walk < candidate) {
            walk += isLead(static_cast<unsigned char>(text[walk])) ? 2 : 1;
        }
        if (walk == candidate && matchesAt(text, candidate, wanted, ignoreCase)) {
            return candidate;
        }
        // A candidate on a second byte resumes at the next character.
        candidate = walk == candidate ? candidate + 1 : walk;
    }
    return std::string_view::npos;
}

bool isSpaceUnit(std::string_view text, std::size_t i, std::size_t& length)
{
    if (text[i] == ' ') {
        length = 1;
        return true;
    }
    if (static_cast<unsigned char>(text[i]) == kFullWidthSpaceByte && i + 1 < text.size() &&
        static_cast<unsigned char>(text[i + 1]) == kFullWidthSpaceByte) {
        length = 2;
        return true;
    }
    length = unitLength(text, i);
    return false;
}

template <typename Change>
Text mapSingleBytes(const Text& text, Change change)
{
    std::string out(text.view());
    for (std::size_t i = 0; i < out.size();) {
        const auto byte = static_cast<unsigned char>(out[i]);
        if (isLead(byte)) {
            i += 2;
        } else {
            out[i] = static_cast<char>(change(byte));
            ++i;
        }
    }
    return Text(std::move(out));
}

}  // namespace

int find(const Text& text, const Text& wanted, std::optional<int> start, bool ignoreCase)
{
    const std::size_t from = (!start || *start <= 1) ? 0 : static_cast<std::size_t>(*start - 1);
    if (from >= text.size()) {
        return -1;
    }
    if (wanted.empty()) {
        return 1;
    }
    const std::size_t at = findFrom(text.view(), wanted.view(), 0, from, ignoreCase);
    return at == std::string_view::npos ? -1 : static_cast<int>(at + 1);
}

int reverseFind(const Text& text, const Text& wanted, bool ignoreCase)
{
    const std::string_view t = text.view();
    if (t.empty()) {
        return -1;
    }
    if (wanted.empty()) {
        return 1;
    }
    // Matches may overlap, so the next search begins one byte after the last hit, stepping from it.
    int last = -1;
    for (std::size_t at = findFrom(t, wanted.view(), 0, 0, ignoreCase); at != std::string_view::npos;
         at = findFrom(t, wanted.view(), at, at + 1, ignoreCase)) {
        last = static_cast<int>(at + 1);
    }
    return last;
}

Text left(const Text& text, int n)
{
    if (n <= 0) {
        return {};
    }
    return Text(text.view().substr(0, static_cast<std::size_t>(n)));
}

Text right(const Text& text, int n)
{
    if (n <= 0) {
        return {};
    }
    const std::size_t count = std::min(text.size(), static_cast<std::size_t>(n));
    return Text(text.view().substr(text.size() - count));
}

Text mid(const Text& text, int start, int n)
{
    if (start < 1 || n <= 0 || static_cast<std::size_t>(start) > text.size()) {
        return {};
    }
    return Text(text.view().substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n)));
}

Text replaceSub(const Text& text, const Text& old, const Text& replacement, bool caseSensitive,
                std::optional<int> start, std::optional<int> count)
{
    if (text.empty() || old.empty()) {
        return text;
    }
    const std::string_view t = text.view();
    const std::size_t from = (!start || *start <= 1) ? 0 : static_cast<std::size_t>(*start - 1);
    long long remaining = count ? std::max(*count, 0) : -1;
    std::string out;
    out.reserve(t.size());
    // After a replacement the stepping goes on from the end of the replaced text.
    std::size_t copied = 0;
    std::size_t walk = 0;
    while (remaining != 0) {
        const std::size_t at = findFrom(t, old.view(), walk, std::max(from, walk), !caseSensitive);
        if (at == std::string_view::npos) {
            break;
        }
        out.append(t.substr(copied, at - copied));
        out.append(replacement.view());
        copied = walk = at + old.size();
        if (remaining > 0) {
            --remaining;
        }
    }
    out.append(t.substr(copied));
    return Text(std::move(out));
}

Text replaceAt(const Text& text, int start, int length, const std::optional<Text>& insert)
{
    const std::size_t at = std::min(static_cast<std::size_t>(std::max(start, 1) - 1), text.size());
    const std::size_t removed = std::min(static_cast<std::size_t>(std::max(length, 0)), text.size() - at);
    std::string out(text.view().substr(0, at));
    if (insert) {
        out.append(insert->view());
    }
    out.append(text.view().substr(at + removed));
    return Text(std::move(out));
}

Text trimBoth(const Text& text)
{
    const std::string_view t = text.view();
    std::size_t begin = 0;
    std::size_t length = 0;
    while (begin < t.size() && isSpaceUnit(t, begin, length)) {
        begin += length;
    }
    // Walk on by characters so that a trailing A1 A1 is only taken where it is a character of its own.
    std::size_t end = begin;
    for (std::size_t i = begin; i < t.size(); i += length) {
        if (!isSpaceUnit(t, i, length)) {
            end = i + length;
        }
    }
    return Text(t.substr(begin, end - begin));
}

Text removeAllSpaces(const Text& text)
{
    const std::string_view t = text.view();
    std::string out;
    out.reserve(t.size());
    std::size_t copied = 0;
    std::size_t length = 0;
    for (std::size_t i = 0; i < t.size(); i += length) {
        if (isSpaceUnit(t, i, length)) {
            out.append(t.substr(copied, i - copied));
            copied = i + length;
        }
    }
    out.append(t.substr(std::min(copied, t.size())));
    return Text(std::move(out));
}

Text toUpper(const Text& text)
{
    return mapSingleBytes(text, [](unsigned char b) {
        return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - ('a' - 'A')) : b;
    });
}

Text toLower(const Text& text)
{
    return mapSingleBytes(text, foldAscii);
}

int charCode(const Text& text, std::optional<int> position)
{
    const int at = position ? *position : 1;
    if (at < 1 || static_cast<std::size_t>(at) > text.size()) {
        return 0;
    }
    return static_cast<signed char>(text.view()[static_cast<std::size_t>(at - 1)]);
}

Text charFromCode(int code)
{
    const char byte = static_cast<char>(code & 0xFF);
    return Text(std::string_view(&byte, 1));
}

Text blankText(int n)
{
    return n < 1 ? Text() : Text(std::string(static_cast<std::size_t>(n), ' '));
}

bool textEquals(const Text& a, const Text& b, bool caseSensitive)
{
    return bytesEqual(a.view(), b.view(), !caseSensitive);
}

Text join(std::initializer_list<Text> parts)
{
    std::string out;
    for (const Text& part : parts) {
        out.append(part.view());
    }
    return Text(std::move(out));
}

Bytes blankBytes(int n)
{
    return n < 1 ? Bytes() : Bytes(std::string(static_cast<std::size_t>(n), '\0'));
}

Bytes bytesLeft(const Bytes& bytes, int n)
{
    if (n < 0) {
        return {};
    }
    return Bytes(bytes.view().substr(0, static_cast<std::size_t>(n)));
}

Bytes join(std::initializer_list<Bytes> parts)
{
    std::string out;
    for (const Bytes& part : parts) {
        out.append(part.view());
    }
    return Bytes(std::move(out));
}

Text intToText(long long value)
{
    return Text(std::to_string(value));
}

Text boolToText(bool value)
{
    return value ? Text("\xD5\xE6") : Text("\xBC\xD9");  // "真", "假"
}

double textToNumber(const Text& text)
{
    // Full-width forms: A3 A1..A3 FE are ASCII 0x21..0x7E, A1 A1 is the space.
    const std::string_view t = text.view();
    std::string half;
    half.reserve(t.size());
    for (std::size_t i = 0; i < t.size();) {
        const auto byte = static_cast<unsigned char>(t[i]);
        if (isLead(byte) && i + 1 < t.size()) {
            const auto trail = static_cast<unsigned char>(t[i + 1]);
            if (byte == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
                half.push_back(static_cast<char>(trail - 0x80));
            } else if (byte == kFullWidthSpaceByte && trail == kFullWidthSpaceByte) {
                half.push_back(' ');
            } else {
                half.append(t.substr(i, 2));
            }
            i += 2;
        } else {
            half.push_back(static_cast<char>(byte));
            ++i;
        }
    }

    // Only a plain decimal form counts: "inf", "nan" or hex forms are not numbers here.
    std::size_t i = std::min(half.find_first_not_of(" \t\r\n"), half.size());
    const std::size_t begin = i;
    const auto digitsFrom = [&half](std::size_t at) {
        while (at < half.size() && half[at] >= '0' && half[at] <= '9') {
            ++at;
        }
        return at;
    };
    if (i < half.size() && (half[i] == '+' || half[i] == '-')) {
        ++i;
    }
    std::size_t end = digitsFrom(i);
    bool anyDigit = end > i;
    if (end < half.size() && half[end] == '.') {
        const std::size_t fractionEnd = digitsFrom(end + 1);
        anyDigit = anyDigit || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!anyDigit) {
        return 0;
    }
    if (end < half.size() && (half[end] == 'e' || half[end] == 'E')) {
        std::size_t exponent = end + 1;
        if (exponent < half.size() && (half[exponent] == '+' || half[exponent] == '-')) {
            ++exponent;
        }
        if (const std::size_t exponentEnd = digitsFrom(exponent); exponentEnd > exponent) {
            end = exponentEnd;
        }
    }
    // strtod in the C locale, whatever the process locale: overflow gives an infinity, underflow 0.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const std::string number = half.substr(begin, end - begin);
    return strtod_l(number.c_str(), nullptr, cLocale);
}

int truncateToInt(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(value);
}

}  // namespace murrel
