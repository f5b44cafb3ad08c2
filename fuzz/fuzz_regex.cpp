// Fuzzes the regex object over random pages with the program's two patterns (and now and then a short
// random pattern): match and group texts, their byte positions and the out-of-range indexes.
#include "fuzz/fuzz_require.h"
#include "regex/regex_object.h"
#include "textutil/codepage.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace murrel;

using murrel::fuzz::require;

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

// Every match and group can be read, sits where its position says, and nothing lies beyond the counts.
void checkMatches(const RegexObject& regex, const Text& subject, int patternKind)
{
    const int count = regex.MatchCount();
    const int groups = regex.SubMatchCount();
    require(count >= 0 && groups >= 0 && (count > 0 || groups == 0));
    for (int index = 0; index <= count + 1; ++index) {
        int position = 0;
        const Text match = regex.MatchText(index, &position);
        if (index < 1 || index > count) {
            require(match.empty() && position == -2);
            continue;
        }
        require(position >= 0 && static_cast<std::size_t>(position) <= subject.size());
        const std::string_view there = subject.view().substr(static_cast<std::size_t>(position));
        if (patternKind == 0) {
            // ASCII only: the very bytes of the page.
            require(match.size() == 36 && equalIgnoringCase(there.substr(0, 4), "key=") && there.starts_with(match.view()));
        } else if (patternKind == 1) {
            require(equalIgnoringCase(match.view().substr(0, 7), "value=\"") && match.view().ends_with("\"/>"));
            require(equalIgnoringCase(there.substr(0, 7), "value=\""));
            int hashPosition = 0;
            const Text hash = regex.SubMatchText(index, 1, &hashPosition);
            require(hash.size() >= 30 && hashPosition >= position + 7);
        }
        for (int group = 0; group <= groups + 1; ++group) {
            int groupPosition = 0;
            const Text text = regex.SubMatchText(index, group, &groupPosition);
            require(groupPosition >= -2 && (groupPosition != -2 || text.empty()));
            require(group >= 1 && group <= groups ? true : groupPosition == -2);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const int patternKind = provider.ConsumeIntegralInRange(0, 2);
    const std::optional<bool> caseSensitive = provider.ConsumeBool() ? std::optional(provider.ConsumeBool()) : std::nullopt;
    const std::optional<bool> multiline = provider.ConsumeBool() ? std::optional(provider.ConsumeBool()) : std::nullopt;
    const std::optional<bool> global = provider.ConsumeBool() ? std::optional(provider.ConsumeBool()) : std::nullopt;
    Text pattern = patternKind == 0 ? Text("key=\\w{32}") : Text("value=\\\"(.{30,})\\\"/>");
    if (patternKind == 2) {
        pattern = Text(provider.ConsumeRandomLengthString(16));
    }
    const Text subject(provider.ConsumeRemainingBytesAsString());

    RegexObject regex;
    const bool searched = regex.Search(pattern, subject, caseSensitive, multiline, global);
    require(searched || patternKind == 2);
    require(regex.GetPattern() == pattern);
    if (!searched) {
        require(regex.MatchCount() == 0 && regex.MatchText(1).empty() && regex.ReplaceText("x").empty());
        return 0;
    }
    require(global.value_or(true) || regex.MatchCount() <= 1);
    checkMatches(regex, subject, patternKind);
    const RegexObject copy = regex.Copy();
    require(copy.ReplaceText("<$1|$&|$`|$'|$$>") == regex.ReplaceText("<$1|$&|$`|$'|$$>"));
    if (regex.MatchCount() == 0) {
        require(regex.ReplaceText("x") == utf16ToGbk(gbkToUtf16(subject)));
    }
    regex.Destroy();
    require(regex.MatchCount() == 0 && copy.MatchCount() >= 0);
    return 0;
}
