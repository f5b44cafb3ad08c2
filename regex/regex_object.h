// Regular-expression search over GBK text, keeping the outcome of the last search so that matches
// and groups can be read afterwards by 1-based index.
#pragma once

#include "textutil/text.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace murrel {

class RegexObject
{
public:
    RegexObject();
    ~RegexObject();
    RegexObject(RegexObject&&) noexcept;
    RegexObject& operator=(RegexObject&&) noexcept;
    RegexObject(const RegexObject&) = delete;
    RegexObject& operator=(const RegexObject&) = delete;

    // The operations, in their fixed order.
    void Destroy();
    [[nodiscard]] RegexObject Copy() const;
    // Case is ignored unless caseSensitive; multiline and global default to true. False when the
    // pattern is rejected (no matches are kept then); a search that finds nothing is true.
    bool Search(const Text& pattern, const Text& subject, std::optional<bool> caseSensitive = std::nullopt,
                std::optional<bool> multiline = std::nullopt, std::optional<bool> global = std::nullopt);
    void Noop() {}
    [[nodiscard]] Text GetPattern() const;
    [[nodiscard]] Text ReplaceText(const Text& replacement) const;
    [[nodiscard]] int MatchCount() const;
    // `position`, when given, receives the 0-based byte offset of the match (or group) in the searched
    // text; -2 when there is no such match or the group took no part in it.
    [[nodiscard]] Text MatchText(int index, int* position = nullptr) const;
    [[nodiscard]] Text SubMatchText(int matchIndex, int subIndex, int* position = nullptr) const;
    [[nodiscard]] int SubMatchCount() const;

private:
    struct Instance;
    struct MatchCollection;

    // Group 0 is the whole match; no group (an index below 1 from SubMatchText) gives the empty text.
    [[nodiscard]] Text groupText(int matchIndex, std::optional<int> group, int* position) const;
    [[nodiscard]] int bytePosition(std::size_t unit) const;

    // Copies share these; a search replaces them instead of changing them.
    std::shared_ptr<const Instance> m_regExp;          // pattern and options of the last search
    std::shared_ptr<const MatchCollection> m_matches;  // its matches; null when it failed
    Text m_searchedText;
};

}  // namespace murrel
