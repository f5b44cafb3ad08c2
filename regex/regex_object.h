// Regular-expression search over GBK text, keeping the outcome of the last search so that matches
// and groups can be read afterwards by 1-based index.
#pragma once

#include "textutil/text.h"

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
    // `position`, when given, receives the match's 0-based byte offset in the searched text (-2: none).
    [[nodiscard]] Text MatchText(int index, int* position = nullptr) const;
    [[nodiscard]] Text SubMatchText(int matchIndex, int subIndex, int* position = nullptr) const;
    [[nodiscard]] int SubMatchCount() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};

}  // namespace murrel
