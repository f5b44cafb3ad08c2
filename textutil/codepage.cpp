// Code-page conversions on ICU: UTF-8 and Big5 into GBK by way of UTF-16, with Microsoft's own tables
// for code pages 936 and 950.
#include "textutil/codepage.h"

#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace murrel {
namespace {

// ICU counts in int32_t; larger inputs are not converted at all.
constexpr std::size_t kMaxInput = std::numeric_limits<std::int32_t>::max() / 4;
// ASCII runs at least this long are copied straight instead of going through UTF-16.
constexpr std::size_t kMinAsciiRun = 16;
constexpr char16_t kReplacementChar = u'\uFFFD';
constexpr char16_t kQuestionMark = u'?';

struct ConverterCloser
{
    void operator()(UConverter* converter) const noexcept { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

ConverterPtr openNamed(const std::string& name)
{
    UErrorCode error = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name.c_str(), &error));
    if (U_FAILURE(error)) {
        return {};
    }
    // Code page 936's default character, and the one Windows uses for its other tables too.
    const UConverterType type = ucnv_getType(converter.get());
    if (type == UCNV_SBCS || type == UCNV_DBCS || type == UCNV_MBCS) {
        ucnv_setSubstChars(converter.get(), "?", 1, &error);
    }
    return converter;
}

// 936 and 950 use Microsoft's tables, which differ from plain GBK and Big5 (0x80 is the euro sign in 936).
ConverterPtr openCodePage(int codePage)
{
    switch (codePage) {
    case kCodePageAnsi:
    case kCodePageGbk:
        return openNamed("windows-936-2000");
    case kCodePageBig5:
        return openNamed("windows-950-2000");
    case kCodePageUtf8:
        return openNamed("UTF-8");
    default:
        break;
    }
    if (codePage < 0) {
        return {};
    }
    for (const char* prefix : {"windows-", "cp", "ibm-"}) {
        if (auto converter = openNamed(prefix + std::to_string(codePage))) {
            return converter;
        }
    }
    return {};
}

// Each code page's converter is opened once; every thread converts with its own clone of it, since a
// converter carries conversion state. Null when ICU has no table for the code page.
UConverter* converterFor(int codePage)
{
    thread_local std::unordered_map<int, ConverterPtr> clones;
    if (auto found = clones.find(codePage); found != clones.end()) {
        return found->second.get();
    }
    static std::mutex mutex;
    static std::unordered_map<int, ConverterPtr> originals;
    ConverterPtr clone;
    {
        std::lock_guard lock(mutex);
        ConverterPtr& original = originals[codePage];
        if (!original) {
            original = openCodePage(codePage);
        }
        if (original) {
            UErrorCode error = U_ZERO_ERROR;
            clone.reset(ucnv_clone(original.get(), &error));
            if (U_FAILURE(error)) {
                clone.reset();
            }
        }
    }
    return clones.emplace(codePage, std::move(clone)).first->second.get();
}

// What a conversion does with input it cannot convert.
enum class OnBadInput
{
    Substitute,    // the table's substitute: U+FFFD towards UTF-16, "?" from it
    QuestionMark,  // "?" in both directions
    Stop,          // end the conversion there
};

// Writes the UTF-16 unit in `context` for every invalid or unassigned byte sequence.
void substituteUnit(const void* context, UConverterToUnicodeArgs* args, const char* /*codeUnits*/,
                    int32_t /*length*/, UConverterCallbackReason reason, UErrorCode* error)
{
    if (reason > UCNV_IRREGULAR) {
        return;  // reset, close and clone notifications
    }
    *error = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, static_cast<const UChar*>(context), 1, 0, error);
}

void setToUnicodeAction(UConverter* converter, OnBadInput action)
{
    UErrorCode error = U_ZERO_ERROR;
    if (action == OnBadInput::Stop) {
        ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
        return;
    }
    const char16_t* unit = action == OnBadInput::QuestionMark ? &kQuestionMark : &kReplacementChar;
    ucnv_setToUCallBack(converter, substituteUnit, unit, nullptr, nullptr, &error);
}

void setFromUnicodeAction(UConverter* converter, OnBadInput action)
{
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter,
                          action == OnBadInput::Stop ? UCNV_FROM_U_CALLBACK_STOP : UCNV_FROM_U_CALLBACK_SUBSTITUTE,
                          nullptr, nullptr, nullptr, &error);
}

// Appends the UTF-16 form of `bytes` to `out` and, when `offsets` is given, each new unit's source byte
// offset plus `base`. False when the conversion stopped at input it could not convert.
bool decodeInto(UConverter* converter, std::string_view bytes, OnBadInput action, std::u16string& out,
                std::vector<std::size_t>* offsets = nullptr, std::size_t base = 0)
{
    ucnv_reset(converter);
    setToUnicodeAction(converter, action);
    const char* source = bytes.data();
    const char* const sourceEnd = source + bytes.size();
    std::vector<std::int32_t> unitSources;
    std::size_t written = out.size();
    while (true) {
        // Microsoft's tables give at most one unit per byte; anything else just takes another round.
        out.resize(written + static_cast<std::size_t>(sourceEnd - source) + kMinAsciiRun);
        char16_t* target = out.data() + written;
        const std::size_t roundBase = static_cast<std::size_t>(source - bytes.data());
        if (offsets) {
            unitSources.assign(out.size() - written, -1);
        }
        UErrorCode error = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, out.data() + out.size(), &source, sourceEnd,
                       offsets ? unitSources.data() : nullptr, true, &error);
        const std::size_t produced = static_cast<std::size_t>(target - (out.data() + written));
        if (offsets) {
            for (std::size_t i = 0; i < produced; ++i) {
                // -1 marks a unit held over from the previous round; it shares the previous unit's byte.
                const std::size_t previous = offsets->empty() ? base : offsets->back();
                offsets->push_back(unitSources[i] < 0 ? previous
                                                      : base + roundBase + static_cast<std::size_t>(unitSources[i]));
            }
        }
        written += produced;
        if (error == U_BUFFER_OVERFLOW_ERROR) {
            continue;
        }
        out.resize(written);
        return U_SUCCESS(error);
    }
}

// Appends the bytes of `units` in the converter's code page to `out`; false when it stopped early.
bool encodeInto(UConverter* converter, std::u16string_view units, OnBadInput action, std::string& out)
{
    ucnv_reset(converter);
    setFromUnicodeAction(converter, action);
    const char16_t* source = units.data();
    const char16_t* const sourceEnd = source + units.size();
    const auto maxCharSize = static_cast<std::size_t>(ucnv_getMaxCharSize(converter));
    std::size_t written = out.size();
    while (true) {
        out.resize(written + (static_cast<std::size_t>(sourceEnd - source) + kMinAsciiRun) * maxCharSize);
        char* target = out.data() + written;
        UErrorCode error = U_ZERO_ERROR;
        ucnv_fromUnicode(converter, &target, out.data() + out.size(), &source, sourceEnd, nullptr, true, &error);
        written = static_cast<std::size_t>(target - out.data());
        if (error == U_BUFFER_OVERFLOW_ERROR) {
            continue;
        }
        out.resize(written);
        return U_SUCCESS(error);
    }
}

// Appends the UTF-16 form of UTF-8 bytes; every invalid sequence becomes U+FFFD.
void decodeUtf8Into(std::string_view bytes, std::u16string& out)
{
    const std::size_t written = out.size();
    out.resize(written + bytes.size());  // never more units than bytes
    int32_t length = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data() + written, static_cast<int32_t>(bytes.size()), &length, bytes.data(),
                         static_cast<int32_t>(bytes.size()), kReplacementChar, nullptr, &error);
    out.resize(written + (U_SUCCESS(error) ? static_cast<std::size_t>(length) : 0));
}

// Composes base characters with the combining marks after them where a precomposed character exists,
// as WC_COMPOSITECHECK does.
void compose(std::u16string& units)
{
    UErrorCode error = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(error);
    if (U_FAILURE(error)) {
        return;
    }
    const icu::UnicodeString all(false, units.data(), static_cast<int32_t>(units.size()));
    const int32_t done = nfc->spanQuickCheckYes(all, error);
    if (U_FAILURE(error) || done == all.length()) {
        return;
    }
    icu::UnicodeString composed(all, 0, done);
    nfc->normalizeSecondAndAppend(composed, all.tempSubString(done), error);
    if (U_SUCCESS(error)) {
        units.assign(composed.getBuffer(), static_cast<std::size_t>(composed.length()));
    }
}

bool isAscii(char byte)
{
    return static_cast<unsigned char>(byte) < 0x80;
}

// Index of the first non-ASCII byte at or after `pos`, or the size.
std::size_t skipAscii(std::string_view bytes, std::size_t pos)
{
    constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;
    while (pos + sizeof(std::uint64_t) <= bytes.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + pos, sizeof word);
        if ((word & kHighBits) != 0) {
            break;
        }
        pos += sizeof word;
    }
    while (pos < bytes.size() && isAscii(bytes[pos])) {
        ++pos;
    }
    return pos;
}

// Start of the first ASCII run of at least kMinAsciiRun bytes at or after `pos`, or the size.
std::size_t findLongAsciiRun(std::string_view bytes, std::size_t pos)
{
    std::size_t runLength = 0;
    for (std::size_t i = pos; i < bytes.size(); ++i) {
        runLength = isAscii(bytes[i]) ? runLength + 1 : 0;
        if (runLength == kMinAsciiRun) {
            return i + 1 - kMinAsciiRun;
        }
    }
    return bytes.size();
}

// UTF-8 to GBK with "?" for what GBK lacks. Both share ASCII, so long ASCII runs are copied as they are and
// only the stretches between them go through UTF-16.
Text utf8ToGbk(std::string_view utf8, bool composeMarks)
{
    UConverter* gbk = converterFor(kCodePageGbk);
    if (!gbk || utf8.size() > kMaxInput) {
        return {};
    }
    std::string out;
    out.reserve(utf8.size());
    std::u16string wide;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t nonAscii = skipAscii(utf8, pos);
        if (nonAscii == utf8.size()) {
            out.append(utf8.substr(pos));
            break;
        }
        // A combining mark composes with the character before it, so the last ASCII byte goes along.
        const std::size_t stretchStart = (composeMarks && nonAscii > pos) ? nonAscii - 1 : nonAscii;
        out.append(utf8.substr(pos, stretchStart - pos));
        const std::size_t stretchEnd = findLongAsciiRun(utf8, nonAscii);
        wide.clear();
        decodeUtf8Into(utf8.substr(stretchStart, stretchEnd - stretchStart), wide);
        if (composeMarks) {
            compose(wide);
        }
        encodeInto(gbk, wide, OnBadInput::Substitute, out);
        pos = stretchEnd;
    }
    return Text(std::move(out));
}

// Where the stretch of GBK that begins at `pos` ends: at the start of the first run of kMinAsciiRun ASCII
// bytes that stand alone, or at the end. ASCII bytes can also be trail bytes, so the walk steps over whole
// double-byte characters and a stretch never ends inside one.
std::size_t endOfGbkStretch(std::string_view gbk, std::size_t pos)
{
    std::size_t runLength = 0;
    while (pos < gbk.size()) {
        const auto byte = static_cast<unsigned char>(gbk[pos]);
        if (byte < 0x80) {
            if (++runLength == kMinAsciiRun) {
                return pos + 1 - kMinAsciiRun;
            }
            ++pos;
            continue;
        }
        runLength = 0;
        pos += (byte >= 0x81 && byte <= 0xFE && pos + 1 < gbk.size()) ? 2 : 1;
    }
    return gbk.size();
}

// GBK to UTF-16 with U+FFFD for bytes GBK does not define. ASCII that stands alone is widened as it is; only
// the stretches between long runs of it go through ICU, which gives the same units as one ICU call would.
std::u16string gbkToUtf16(std::string_view gbk)
{
    std::u16string units;
    UConverter* converter = converterFor(kCodePageGbk);
    if (!converter || gbk.size() > kMaxInput) {
        return units;
    }
    units.reserve(gbk.size());
    std::size_t pos = 0;
    while (pos < gbk.size()) {
        const std::size_t nonAscii = skipAscii(gbk, pos);
        const std::size_t widened = units.size();
        units.resize(widened + (nonAscii - pos));
        for (std::size_t i = pos; i < nonAscii; ++i) {
            units[widened + (i - pos)] = static_cast<char16_t>(gbk[i]);
        }
        if (nonAscii == gbk.size()) {
            break;
        }
        pos = endOfGbkStretch(gbk, nonAscii);
        decodeInto(converter, gbk.substr(nonAscii, pos - nonAscii), OnBadInput::Substitute, units);
    }
    return units;
}

// The UTF-16 form of bytes in a code page; empty when the code page cannot be converted.
std::u16string decodeCodePage(std::string_view bytes, int codePage)
{
    std::u16string units;
    if (bytes.size() > kMaxInput) {
        return units;
    }
    if (codePage == kCodePageUtf8) {
        decodeUtf8Into(bytes, units);
    } else if (UConverter* converter = converterFor(codePage)) {
        decodeInto(converter, bytes, OnBadInput::Substitute, units);
    }
    return units;
}

// For every GBK double-byte code (lead byte << 8 | trail byte), the code of its simplified form, or 0 where
// the character stays: it is not traditional, or its simplified form is not one GBK double-byte character.
std::vector<std::uint16_t> buildSimplifiedTable()
{
    std::vector<std::uint16_t> table(0x10000, 0);
    UErrorCode error = U_ZERO_ERROR;
    const std::unique_ptr<icu::Transliterator> toSimplified(
        icu::Transliterator::createInstance("Traditional-Simplified", UTRANS_FORWARD, error));
    UConverter* gbk = converterFor(kCodePageGbk);
    if (U_FAILURE(error) || !toSimplified || !gbk) {
        return table;
    }
    std::u16string wide;
    std::string narrow;
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
        for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
            const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            wide.clear();
            if (!decodeInto(gbk, std::string_view(pair, 2), OnBadInput::Stop, wide) || wide.size() != 1) {
                continue;
            }
            // Transliterated in UTF-16: the traditional form converted straight would stay traditional.
            icu::UnicodeString character(wide.front());
            toSimplified->transliterate(character);
            if (character.length() != 1 || character.charAt(0) == wide.front()) {
                continue;
            }
            const char16_t simplified = character.charAt(0);
            narrow.clear();
            if (encodeInto(gbk, std::u16string_view(&simplified, 1), OnBadInput::Stop, narrow) &&
                narrow.size() == 2) {
                table[lead << 8 | trail] = static_cast<std::uint16_t>(static_cast<unsigned char>(narrow[0]) << 8 |
                                                                      static_cast<unsigned char>(narrow[1]));
            }
        }
    }
    return table;
}

// Built once, on first use, and only read afterwards, so every thread may share it.
const std::vector<std::uint16_t>& simplifiedTable()
{
    static const std::vector<std::uint16_t> table = buildSimplifiedTable();
    return table;
}

Bytes toLittleEndian(std::u16string_view units)
{
    std::string bytes(units.size() * 2, '\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return Bytes(std::move(bytes));
}

// The little-endian units before the first zero unit; an odd last byte is no unit.
std::u16string fromLittleEndian(const Bytes& bytes)
{
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(bytes.at(i) | bytes.at(i + 1) << 8);
        if (unit == 0) {
            break;
        }
        units.push_back(unit);
    }
    return units;
}

}  // namespace

Text Code_Utf8BytesToGbk(const Bytes& body)
{
    const std::string_view utf8 = body.view();
    return utf8ToGbk(utf8.substr(0, utf8.find('\0')), true);
}

Text Code_Utf8ToGbk(const Text& text)
{
    return utf8ToGbk(text.view(), false);
}

Text Code_Big5ToGbk(const Text& text)
{
    UConverter* big5 = converterFor(kCodePageBig5);
    UConverter* gbk = converterFor(kCodePageGbk);
    if (!big5 || !gbk || text.size() > kMaxInput) {
        return {};
    }
    std::u16string wide;
    decodeInto(big5, text.view(), OnBadInput::QuestionMark, wide);
    // The first character that code page 936 lacks ends the text.
    std::string narrow;
    encodeInto(gbk, wide, OnBadInput::Stop, narrow);
    return Code_ToSimplified(Text(std::move(narrow)));
}

Bytes Code_ToWide(const Text& text, std::optional<int> codePage)
{
    std::u16string units = decodeCodePage(text.view(), codePage.value_or(kCodePageUtf8));
    units.push_back(u'\0');
    return toLittleEndian(units);
}

Text Code_FromWide(const Bytes& wide, std::optional<int> codePage)
{
    UConverter* converter = converterFor(codePage.value_or(kCodePageAnsi));
    const std::u16string units = fromLittleEndian(wide);
    if (!converter || units.size() > kMaxInput) {
        return {};
    }
    std::string narrow;
    encodeInto(converter, units, OnBadInput::Substitute, narrow);
    return Text(std::move(narrow));
}

Text Code_ToSimplified(const Text& text)
{
    const std::vector<std::uint16_t>& table = simplifiedTable();
    std::string bytes = text.str();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x81 || lead > 0xFE || i + 1 == bytes.size()) {
            continue;  // ASCII, or one of 936's single bytes 0x80 and 0xFF
        }
        const auto trail = static_cast<unsigned char>(bytes[i + 1]);
        if (const std::uint16_t simplified = table[lead << 8 | trail]) {
            bytes[i] = static_cast<char>(simplified >> 8);
            bytes[i + 1] = static_cast<char>(simplified & 0xFF);
        }
        ++i;
    }
    return Text(std::move(bytes));
}

std::u16string gbkToUtf16(const Text& text)
{
    return gbkToUtf16(text.view());
}

Text utf16ToGbk(std::u16string_view units)
{
    units = units.substr(0, units.find(u'\0'));
    UConverter* gbk = converterFor(kCodePageGbk);
    if (!gbk || units.size() > kMaxInput) {
        return {};
    }
    std::string narrow;
    encodeInto(gbk, units, OnBadInput::Substitute, narrow);
    return Text(std::move(narrow));
}

std::vector<std::size_t> gbkUnitOffsets(const Text& text)
{
    std::vector<std::size_t> offsets;
    UConverter* gbk = converterFor(kCodePageGbk);
    if (gbk && text.size() <= kMaxInput) {
        std::u16string units;
        offsets.reserve(text.size() + 1);
        decodeInto(gbk, text.view(), OnBadInput::Substitute, units, &offsets);
    }
    offsets.push_back(text.size());
    return offsets;
}

}  // namespace murrel
