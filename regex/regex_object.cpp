// The regex object on PCRE2's 16-bit library. It matches the UTF-16 form of the GBK text the way the system's
// "VBScript.RegExp" class does: \w is ASCII only, "." is anything but a line feed, an empty match moves the
// next search one character on, and $ without "Multiline" holds only at the very end.
#include "regex/regex_object.h"

#include "textutil/codepage.h"

#include <pcre2.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <mutex>
#include <string>
#include <vector>

namespace murrel {
namespace {

// Patterns and pages are untrusted. Each match attempt stops after this much backtracking; a whole search
// stops after kSearchBudget; either ends the search with no match.
constexpr std::uint32_t kMatchLimit = 100'000'000;
constexpr std::uint32_t kDepthLimit = 1'000'000;
constexpr std::uint32_t kHeapLimitKib = 256 * 1024;
constexpr std::size_t kJitStackStart = 32 * 1024;
constexpr std::size_t kJitStackMax = 4 * 1024 * 1024;
constexpr std::chrono::seconds kSearchBudget{5};

constexpr std::uint32_t kUnset = std::numeric_limits<std::uint32_t>::max();
constexpr int kNoPosition = -2;

constexpr std::uint32_t kBaseOptions = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF  // invalid UTF-16 is still searched
                                       | PCRE2_NEVER_UCP                      // \w, \d, \s, \b stay ASCII
                                       | PCRE2_NEVER_BACKSLASH_C              // no matching half a character
                                       | PCRE2_ALT_BSUX                       // \uhhhh and \xhh as the class has them
                                       | PCRE2_ALLOW_EMPTY_CLASS | PCRE2_MATCH_UNSET_BACKREF;

struct CodeFree
{
    void operator()(pcre2_code* code) const noexcept { pcre2_code_free(code); }
};
struct CompileContextFree
{
    void operator()(pcre2_compile_context* context) const noexcept { pcre2_compile_context_free(context); }
};
struct MatchContextFree
{
    void operator()(pcre2_match_context* context) const noexcept { pcre2_match_context_free(context); }
};
struct MatchDataFree
{
    void operator()(pcre2_match_data* data) const noexcept { pcre2_match_data_free(data); }
};
struct JitStackFree
{
    void operator()(pcre2_jit_stack* stack) const noexcept { pcre2_jit_stack_free(stack); }
};
using CodePtr = std::unique_ptr<pcre2_code, CodeFree>;

PCRE2_SPTR units(std::u16string_view text)
{
    return reinterpret_cast<PCRE2_SPTR>(text.data());
}

// Null when PCRE2 rejects the pattern.
CodePtr compilePattern(std::u16string_view pattern, bool ignoreCase, bool multiline)
{
    std::uint32_t options = kBaseOptions;
    if (ignoreCase) {
        options |= PCRE2_CASELESS;
    }
    // ^ also holds after a final line feed; without "Multiline", $ holds only at the end.
    options |= multiline ? PCRE2_MULTILINE | PCRE2_ALT_CIRCUMFLEX : PCRE2_DOLLAR_ENDONLY;
    const std::unique_ptr<pcre2_compile_context, CompileContextFree> context(pcre2_compile_context_create(nullptr));
    if (!context) {
        return {};
    }
    pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF);
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    CodePtr code(pcre2_compile(units(pattern), pattern.size(), options, &errorCode, &errorOffset, context.get()));
    if (code) {
        // Where JIT is unavailable (or refuses the pattern) pcre2_match interprets instead.
        pcre2_jit_compile(code.get(), PCRE2_JIT_COMPLETE);
    }
    return code;
}

// Units of the character at `pos`: two for a surrogate pair.
std::size_t characterLength(std::u16string_view text, std::size_t pos)
{
    const bool pair = pos + 1 < text.size() && text[pos] >= 0xD800 && text[pos] <= 0xDBFF &&
                      text[pos + 1] >= 0xDC00 && text[pos + 1] <= 0xDFFF;
    return pair ? 2 : 1;
}

}  // namespace

// One search's settings: what the class instance holds once its properties are put.
struct RegexObject::Instance
{
    Text pattern;
    bool ignoreCase = true;
    bool global = true;
    CodePtr code;  // null when the pattern was rejected
};

// The matches of one search over the UTF-16 form of the searched text.
struct RegexObject::MatchCollection
{
    std::u16string subject;
    std::size_t pairs = 1;  // the whole match and each capturing group
    // `pairs` start/end unit offsets per match; kUnset for a group that took no part.
    std::vector<std::uint32_t> bounds;
    // Byte offset of each unit in the searched text, worked out when a position is first asked for.
    mutable std::once_flag byteOffsetsMade;
    mutable std::vector<std::size_t> byteOffsets;

    [[nodiscard]] std::size_t count() const { return bounds.size() / (2 * pairs); }
    [[nodiscard]] std::uint32_t start(std::size_t match, std::size_t group) const
    {
        return bounds[(match * pairs + group) * 2];
    }
    [[nodiscard]] std::u16string_view text(std::size_t match, std::size_t group) const
    {
        const std::uint32_t from = start(match, group);
        if (from == kUnset) {
            return {};
        }
        return std::u16string_view(subject).substr(from, bounds[(match * pairs + group) * 2 + 1] - from);
    }

    static std::shared_ptr<MatchCollection> execute(const pcre2_code* code, bool global, std::u16string subject);
    void appendReplacement(std::u16string& out, std::u16string_view replacement, std::size_t match) const;
};

// All matches ("Global") or the first one; null when matching failed, a limit included.
std::shared_ptr<RegexObject::MatchCollection> RegexObject::MatchCollection::execute(const pcre2_code* code,
                                                                                  bool global, std::u16string subject)
{
    auto collection = std::make_shared<MatchCollection>();
    collection->subject = std::move(subject);
    const std::u16string_view text = collection->subject;
    std::uint32_t groups = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
    collection->pairs = groups + 1;

    const std::unique_ptr<pcre2_match_data, MatchDataFree> data(
        pcre2_match_data_create(static_cast<std::uint32_t>(collection->pairs), nullptr));
    const std::unique_ptr<pcre2_match_context, MatchContextFree> context(pcre2_match_context_create(nullptr));
    const std::unique_ptr<pcre2_jit_stack, JitStackFree> jitStack(
        pcre2_jit_stack_create(kJitStackStart, kJitStackMax, nullptr));
    if (!data || !context || !jitStack) {
        return nullptr;
    }
    pcre2_set_match_limit(context.get(), kMatchLimit);
    pcre2_set_depth_limit(context.get(), kDepthLimit);
    pcre2_set_heap_limit(context.get(), kHeapLimitKib);
    pcre2_jit_stack_assign(context.get(), nullptr, jitStack.get());

    const auto deadline = std::chrono::steady_clock::now() + kSearchBudget;
    std::size_t from = 0;
    while (from <= text.size()) {
        const int found = pcre2_match(code, units(text), text.size(), from, 0, data.get(), context.get());
        if (found == PCRE2_ERROR_NOMATCH) {
            break;
        }
        if (found <= 0) {
            return nullptr;
        }
        const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(data.get());
        for (std::size_t pair = 0; pair < collection->pairs; ++pair) {
            const bool tookPart = pair < static_cast<std::size_t>(found) && offsets[2 * pair] != PCRE2_UNSET;
            collection->bounds.push_back(tookPart ? static_cast<std::uint32_t>(offsets[2 * pair]) : kUnset);
            collection->bounds.push_back(tookPart ? static_cast<std::uint32_t>(offsets[2 * pair + 1]) : kUnset);
        }
        if (!global) {
            break;
        }
        // After an empty match the next one is looked for a character further on.
        const std::size_t end = std::max<std::size_t>(offsets[1], from);
        from = offsets[1] > offsets[0] && end > from ? end : end + characterLength(text, end);
        if (std::chrono::steady_clock::now() > deadline) {
            return nullptr;
        }
    }
    return collection;
}

// Appends the replacement for match `match` with $1..$99, $&, $`, $' and $$ expanded; any other $ stays.
void RegexObject::MatchCollection::appendReplacement(std::u16string& out, std::u16string_view replacement,
                                                     std::size_t match) const
{
    const auto isDigit = [](char16_t unit) { return unit >= u'0' && unit <= u'9'; };
    const std::size_t groups = pairs - 1;
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char16_t unit = replacement[i];
        if (unit != u'$' || i + 1 == replacement.size()) {
            out.push_back(unit);
            continue;
        }
        const char16_t next = replacement[i + 1];
        if (next == u'$') {
            out.push_back(u'$');
        } else if (next == u'&') {
            out.append(text(match, 0));
        } else if (next == u'`') {
            out.append(std::u16string_view(subject).substr(0, start(match, 0)));
        } else if (next == u'\'') {
            const std::u16string_view whole = text(match, 0);
            out.append(std::u16string_view(subject).substr(start(match, 0) + whole.size()));
        } else if (isDigit(next)) {
            const std::size_t one = static_cast<std::size_t>(next - u'0');
            const bool hasSecond = i + 2 < replacement.size() && isDigit(replacement[i + 2]);
            const std::size_t two = hasSecond ? one * 10 + static_cast<std::size_t>(replacement[i + 2] - u'0') : 0;
            if (two >= 1 && two <= groups) {
                out.append(text(match, two));
                ++i;
            } else if (one >= 1 && one <= groups) {
                out.append(text(match, one));
            } else {
                out.push_back(u'$');
                continue;
            }
        } else {
            out.push_back(u'$');
            continue;
        }
        ++i;
    }
}

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;
RegexObject::RegexObject(RegexObject&&) noexcept = default;
RegexObject& RegexObject::operator=(RegexObject&&) noexcept = default;

void RegexObject::Destroy()
{
    m_regExp.reset();
    m_searchedText = Text();
    m_matches.reset();
}

RegexObject RegexObject::Copy() const
{
    RegexObject copy;
    copy.m_regExp = m_regExp;
    copy.m_matches = m_matches;
    copy.m_searchedText = m_searchedText;
    return copy;
}

bool RegexObject::Search(const Text& pattern, const Text& subject, std::optional<bool> caseSensitive,
                         std::optional<bool> multiline, std::optional<bool> global)
{
    auto instance = std::make_shared<Instance>();
    instance->pattern = pattern;
    instance->ignoreCase = !caseSensitive.value_or(false);
    instance->global = global.value_or(true);
    instance->code = compilePattern(gbkToUtf16(pattern), instance->ignoreCase, multiline.value_or(true));
    m_matches = instance->code ? MatchCollection::execute(instance->code.get(), instance->global, gbkToUtf16(subject)) : nullptr;
    m_regExp = std::move(instance);
    m_searchedText = subject;
    return m_matches != nullptr;
}

Text RegexObject::GetPattern() const
{
    return m_regExp ? m_regExp->pattern : Text();
}

Text RegexObject::ReplaceText(const Text& replacement) const
{
    if (!m_matches) {
        return {};
    }
    const std::u16string expansion = gbkToUtf16(replacement);
    const std::u16string_view subject = m_matches->subject;
    std::u16string out;
    std::size_t copied = 0;
    for (std::size_t match = 0; match < m_matches->count(); ++match) {
        const std::size_t start = m_matches->start(match, 0);
        out.append(subject.substr(copied, start - copied));
        m_matches->appendReplacement(out, expansion, match);
        copied = start + m_matches->text(match, 0).size();
    }
    out.append(subject.substr(copied));
    return utf16ToGbk(out);
}

int RegexObject::MatchCount() const
{
    return m_matches ? static_cast<int>(m_matches->count()) : 0;
}

Text RegexObject::MatchText(int index, int* position) const
{
    return groupText(index, 0, position);
}

Text RegexObject::SubMatchText(int matchIndex, int subIndex, int* position) const
{
    return groupText(matchIndex, subIndex >= 1 ? std::optional<int>(subIndex) : std::nullopt, position);
}

int RegexObject::SubMatchCount() const
{
    return m_matches && m_matches->count() > 0 ? static_cast<int>(m_matches->pairs - 1) : 0;
}

Text RegexObject::groupText(int matchIndex, std::optional<int> group, int* position) const
{
    const bool known = m_matches && group && matchIndex >= 1 &&
                       static_cast<std::size_t>(matchIndex) <= m_matches->count() &&
                       static_cast<std::size_t>(*group) < m_matches->pairs;
    const auto match = static_cast<std::size_t>(matchIndex - 1);
    const std::uint32_t start = known ? m_matches->start(match, static_cast<std::size_t>(*group)) : kUnset;
    if (position) {
        *position = start == kUnset ? kNoPosition : bytePosition(start);
    }
    return start == kUnset ? Text() : utf16ToGbk(m_matches->text(match, static_cast<std::size_t>(*group)));
}

// The exact byte offset of a unit: a text search from the unit's index could land on an earlier copy of
// the same text.
int RegexObject::bytePosition(std::size_t unit) const
{
    std::call_once(m_matches->byteOffsetsMade,
                   [this] { m_matches->byteOffsets = gbkUnitOffsets(m_searchedText); });
    const std::vector<std::size_t>& offsets = m_matches->byteOffsets;
    return unit < offsets.size() ? static_cast<int>(offsets[unit]) : kNoPosition;
}

}  // namespace murrel
