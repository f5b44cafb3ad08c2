// The regex object: search options, matches and groups by 1-based index, byte positions, replacement,
// rejected patterns and runaway searches.
#include "regex/regex_object.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace murrel {
namespace {

using namespace std::string_literals;

// GBK: "中" D6 D0, "文" CE C4, Greek "Α" A6 A1 and "α" A6 C1.
constexpr const char* kZhong = "\xD6\xD0";
constexpr const char* kWen = "\xCE\xC4";

constexpr const char* kKeyPattern = "key=\\w{32}";
constexpr const char* kHashPattern = "value=\\\"(.{30,})\\\"/>";

struct SearchCase
{
    const char* name;
    std::string pattern;
    std::string subject;
    std::optional<bool> caseSensitive;
    std::optional<bool> multiline;
    std::optional<bool> global;
    int count;
    std::string first;  // text of match 1
};

class SearchTest : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchTest, FindsMatchesLikeTheClass)
{
    const SearchCase& c = GetParam();
    RegexObject regex;
    ASSERT_TRUE(regex.Search(Text(c.pattern), Text(c.subject), c.caseSensitive, c.multiline, c.global));
    EXPECT_EQ(regex.MatchCount(), c.count);
    EXPECT_EQ(regex.MatchText(1).str(), c.first);
}

const std::nullopt_t none = std::nullopt;

INSTANTIATE_TEST_SUITE_P(
    Options, SearchTest,
    testing::Values(
        SearchCase{"IgnoresCaseByDefault", "abc", "xABC", none, none, none, 1, "ABC"},
        SearchCase{"CaseSensitiveWhenAsked", "abc", "xABC", true, none, none, 0, ""},
        SearchCase{"IgnoresCaseBeyondAscii", "\xA6\xA1", "\xA6\xC1", none, none, none, 1, "\xA6\xC1"},
        SearchCase{"MultilineByDefault", "^b$", "a\nb\nc", none, none, none, 1, "b"},
        SearchCase{"NotMultilineWhenAsked", "^b", "a\nb", none, false, none, 0, ""},
        SearchCase{"DollarOnlyAtEndWithoutMultiline", "a$", "a\n", none, false, none, 0, ""},
        SearchCase{"CaretAfterFinalLineFeed", "^", "a\n", none, none, none, 2, ""},
        SearchCase{"GlobalByDefault", "a", "aXaXa", none, none, none, 3, "a"},
        SearchCase{"FirstOnlyWhenNotGlobal", "a", "aXaXa", none, none, false, 1, "a"},
        SearchCase{"DotStopsAtLineFeed", "a.c", "a\nc", none, none, none, 0, ""},
        SearchCase{"DotTakesCarriageReturn", "a.c", "a\rc", none, none, none, 1, "a\rc"},
        SearchCase{"WordIsAsciiOnly", "\\w+", kZhong + "ab_1"s + kWen, none, none, none, 1, "ab_1"},
        SearchCase{"DotTakesDoubleByteCharacter", "a.b", "a"s + kZhong + "b", none, none, none, 1,
                   "a"s + kZhong + "b"},
        SearchCase{"UnicodeEscape", "\\u4E2D", kZhong, none, none, none, 1, kZhong},
        SearchCase{"EmptyMatchesMoveOn", "x*", "ab" + std::string(kZhong), none, none, none, 4, ""},
        SearchCase{"EmptyMatchAfterLastMatch", "a*", "baa", none, none, none, 3, ""}),
    [](const auto& info) { return info.param.name; });

TEST(RegexSearch, NothingFoundIsTrueWithNoMatches)
{
    RegexObject regex;
    EXPECT_TRUE(regex.Search("zzz", "abc"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), Text());
    EXPECT_EQ(regex.SubMatchCount(), 0);
}

TEST(RegexSearch, RejectedPatternDropsPreviousMatches)
{
    RegexObject regex;
    ASSERT_TRUE(regex.Search("a(b)", "ab ab"));
    ASSERT_EQ(regex.MatchCount(), 2);
    EXPECT_FALSE(regex.Search("a(b", "ab ab"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), Text());
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_EQ(regex.ReplaceText("x"), Text());
    EXPECT_EQ(regex.GetPattern(), Text("a(b"));
}

TEST(RegexSearch, RejectsUnicodeClassesAndDeepNesting)
{
    RegexObject regex;
    EXPECT_FALSE(regex.Search("(*UCP)\\w", "a"));  // \w stays ASCII
    EXPECT_FALSE(regex.Search(Text(std::string(300, '(') + std::string(300, ')')), "a"));
}

TEST(RegexSearch, RunawaySearchEndsWithNoMatch)
{
    RegexObject regex;
    EXPECT_FALSE(regex.Search("(x+x+)+y", Text(std::string(5000, 'x') + "zy")));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObjectState, FreshObjectIsEmpty)
{
    const RegexObject regex;
    EXPECT_EQ(regex.GetPattern(), Text());
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.SubMatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), Text());
    EXPECT_EQ(regex.SubMatchText(1, 1), Text());
    EXPECT_EQ(regex.ReplaceText("x"), Text());
}

TEST(RegexObjectState, GetPatternGivesLastPattern)
{
    RegexObject regex;
    regex.Search("a", "a");
    regex.Search("b+", "a");
    EXPECT_EQ(regex.GetPattern(), Text("b+"));
}

TEST(RegexObjectState, CopyKeepsResultsWhenOriginalSearchesAgain)
{
    RegexObject regex;
    regex.Search("(b)", "abc");
    const RegexObject copy = regex.Copy();
    regex.Search("zzz", "abc");
    EXPECT_EQ(copy.MatchCount(), 1);
    EXPECT_EQ(copy.SubMatchText(1, 1), Text("b"));
    EXPECT_EQ(copy.GetPattern(), Text("(b)"));
    EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObjectState, DestroyEmptiesTheObject)
{
    RegexObject regex;
    regex.Search("a", "a");
    regex.Destroy();
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.GetPattern(), Text());
}

struct IndexCase
{
    const char* name;
    int matchIndex;
    std::optional<int> subIndex;  // none: MatchText
    std::string expected;
    int position;
};

// "(a)|(b)" over "中a文b": match 1 is "a" (group 2 took no part), match 2 is "b".
class IndexTest : public testing::TestWithParam<IndexCase>
{
protected:
    void SetUp() override { ASSERT_TRUE(m_regex.Search("(a)|(b)", Text(kZhong + "a"s + kWen + "b"))); }
    RegexObject m_regex;
};

TEST_P(IndexTest, GivesTextAndBytePosition)
{
    const IndexCase& c = GetParam();
    int position = 99;
    const Text text = c.subIndex ? m_regex.SubMatchText(c.matchIndex, *c.subIndex, &position)
                                 : m_regex.MatchText(c.matchIndex, &position);
    EXPECT_EQ(text.str(), c.expected);
    EXPECT_EQ(position, c.position);
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, IndexTest,
    testing::Values(IndexCase{"FirstMatch", 1, std::nullopt, "a", 2}, IndexCase{"SecondMatch", 2, std::nullopt, "b", 5},
                    IndexCase{"MatchZero", 0, std::nullopt, "", -2}, IndexCase{"MatchNegative", -1, std::nullopt, "", -2},
                    IndexCase{"MatchPastCount", 3, std::nullopt, "", -2}, IndexCase{"Group", 1, 1, "a", 2},
                    IndexCase{"GroupOfSecondMatch", 2, 2, "b", 5}, IndexCase{"GroupTookNoPart", 1, 2, "", -2},
                    IndexCase{"GroupZero", 1, 0, "", -2}, IndexCase{"GroupPastCount", 1, 3, "", -2},
                    IndexCase{"GroupOfMissingMatch", 3, 1, "", -2}),
    [](const auto& info) { return info.param.name; });

TEST_F(IndexTest, SubMatchCountIsGroupsOfThePattern)
{
    EXPECT_EQ(m_regex.SubMatchCount(), 2);
}

TEST(RegexPosition, IsExactByteOffsetEvenWhenTheTextRepeats)
{
    // The second "a" is unit 3 but byte 5: a byte search for "a" from 3 would land on the first one, at 2.
    RegexObject regex;
    ASSERT_TRUE(regex.Search("a", Text(kZhong + "a"s + kWen + "a" + kZhong + "A"), true));
    int first = 0;
    int second = 0;
    EXPECT_EQ(regex.MatchText(1, &first), Text("a"));
    EXPECT_EQ(regex.MatchText(2, &second), Text("a"));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 5);
    EXPECT_EQ(regex.MatchCount(), 2);
}

TEST(RegexProgramPatterns, FindKeyAndGreedyHash)
{
    const std::string key(32, 'k');
    const std::string hash = std::string(30, 'h');
    const std::string page = "<p>" + std::string(kZhong) + "</p>\n<a href=\"x?KEY=" + key + "_tail\">\n" +
                             "<input value=\"" + hash + "\"/><input value=\"" + hash + "2\"/>\n" +
                             "<input value=\"short\"/>\n<input value=\"" + hash + "3\"/>\n";
    RegexObject regex;
    ASSERT_TRUE(regex.Search(kKeyPattern, Text(page)));
    EXPECT_EQ(regex.MatchText(1).str(), "KEY=" + key);
    ASSERT_TRUE(regex.Search(kHashPattern, Text(page)));
    EXPECT_EQ(regex.MatchCount(), 2);
    // Greedy: the group reaches to the last "/> of its line, never past the line feed.
    EXPECT_EQ(regex.SubMatchText(1, 1).str(), hash + "\"/><input value=\"" + hash + "2");
    EXPECT_EQ(regex.SubMatchText(2, 1).str(), hash + "3");
}

struct ReplaceCase
{
    const char* name;
    std::string pattern;
    std::string subject;
    std::optional<bool> global;
    std::string replacement;
    std::string expected;
};

class ReplaceTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTest, ExpandsReplacementSyntax)
{
    const ReplaceCase& c = GetParam();
    RegexObject regex;
    ASSERT_TRUE(regex.Search(Text(c.pattern), Text(c.subject), std::nullopt, std::nullopt, c.global));
    EXPECT_EQ(regex.ReplaceText(Text(c.replacement)).str(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replace, ReplaceTest,
    testing::Values(ReplaceCase{"Group", "(\\w)=(\\w)", "a=b c=d", std::nullopt, "$2=$1", "b=a d=c"},
                    ReplaceCase{"FirstOnlyWhenNotGlobal", "\\d", "1 2", false, "#", "# 2"},
                    ReplaceCase{"WholeMatch", "b", "abc", std::nullopt, "[$&]", "a[b]c"},
                    ReplaceCase{"Dollar", "b", "abc", std::nullopt, "$$", "a$c"},
                    ReplaceCase{"BeforeAndAfter", "b", "abc", std::nullopt, "<$`|$'>", "a<a|c>c"},
                    ReplaceCase{"MissingGroupStaysLiteral", "(b)", "abc", std::nullopt, "$2$0$", "a$2$0$c"},
                    ReplaceCase{"TwoDigitsFallBackToOne", "(b)", "abc", std::nullopt, "$10", "ab0c"},
                    ReplaceCase{"UnsetGroupIsEmpty", "(x)?b", "abc", std::nullopt, "[$1]", "a[]c"},
                    ReplaceCase{"EmptyMatches", "x*", "ab", std::nullopt, "-", "-a-b-"},
                    ReplaceCase{"DoubleByte", kWen, kZhong + "a"s + kWen, std::nullopt, "$`", kZhong + "a"s + kZhong + "a"},
                    ReplaceCase{"NoMatchKeepsText", "z", "abc", std::nullopt, "x", "abc"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace murrel
