// Cutting pieces out of GBK text by markers.
#include "textutil/cutting.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace murrel {
namespace {

using namespace std::string_literals;

constexpr const char* kQuote = "#\xD2\xFD\xBA\xC5";  // "#引号"

struct AfterLastCase
{
    const char* name;
    std::string text;
    std::string separator;
    std::optional<bool> ignoreCase;
    std::string expected;
};

class AfterLastTest : public testing::TestWithParam<AfterLastCase> {};

TEST_P(AfterLastTest, CutsAfterLastSeparator)
{
    const AfterLastCase& c = GetParam();
    EXPECT_EQ(Text_AfterLast(Text(c.text), Text(c.separator), c.ignoreCase), Text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cutting, AfterLastTest,
    testing::Values(AfterLastCase{"FileId", "http://www.example.com/file/23075823", "/", {}, "23075823"},
                    AfterLastCase{"EndsInSeparator", "http://www.example.com/file/", "/", {}, ""},
                    AfterLastCase{"NoSeparator", "23075823", "/", {}, ""},
                    AfterLastCase{"TakesLast", "a/b/xyz", "/", {}, "xyz"},
                    AfterLastCase{"LongSeparator", "a::b::cd", "::", {}, "cd"},
                    AfterLastCase{"CaseMattersByDefault", "aXbxc", "X", {}, "bxc"},
                    AfterLastCase{"IgnoreCase", "aXbxc", "X", true, "c"},
                    AfterLastCase{"NotInSecondByte", "a/\xB0/c", "/", {}, "\xB0/c"}),
    [](const auto& info) { return info.param.name; });

struct BetweenCase
{
    const char* name;
    std::string text;
    std::string first;
    std::string second;
    std::optional<int> start;
    std::optional<bool> caseSensitive;
    std::string expected;
};

class BetweenTest : public testing::TestWithParam<BetweenCase> {};

TEST_P(BetweenTest, CutsBetweenMarkers)
{
    const BetweenCase& c = GetParam();
    EXPECT_EQ(Text_Between(Text(c.text), Text(c.first), Text(c.second), c.start, c.caseSensitive),
              Text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cutting, BetweenTest,
    testing::Values(
        BetweenCase{"UserAgent", "Accept: x\r\nUser-Agent: Foo\r\nX: y", "User-Agent:", "\r\n", {}, {}, " Foo"},
        BetweenCase{"IgnoresCaseByDefault", "user-agent: Foo\r\n", "User-Agent:", "\r\n", {}, {}, " Foo"},
        BetweenCase{"CaseSensitive", "user-agent: Foo\r\n", "User-Agent:", "\r\n", {}, true, ""},
        BetweenCase{"QuoteConvention", "<a value=\"abc\">", "value="s + kQuote, kQuote, {}, {}, "abc"},
        BetweenCase{"QuoteWritten", "<a value=\"abc\">", "value=\"", "\"", {}, {}, "abc"},
        BetweenCase{"QuoteTwiceInMarker", "x\"\"abc\"", kQuote + std::string(kQuote), kQuote, {}, {}, "abc"},
        BetweenCase{"FirstAtEnd", "abc[", "[", "]", {}, {}, ""},
        BetweenCase{"SecondOnlyBefore", "]abc[", "[", "]", {}, {}, ""},
        BetweenCase{"NextSecondAfterFirst", "[a][b]", "[", "]", {}, {}, "a"},
        BetweenCase{"Adjacent", "[]", "[", "]", {}, {}, ""},
        BetweenCase{"EmptyFirst", "abc]d]", "", "]", {}, {}, "abc"},
        BetweenCase{"EmptySecond", "[abc]", "[", "", {}, {}, ""},
        BetweenCase{"StartSkipsEarlierFirst", "[a] [bc]", "[", "]", 2, {}, "bc"},
        // A short remainder: the second search still begins at its first byte.
        BetweenCase{"StartBeyondRemainder", "xxxxxx[ab]", "[", "]", 5, {}, "ab"},
        BetweenCase{"NotInSecondByte", "\xB0[x[y]", "[", "]", {}, {}, "y"}),
    [](const auto& info) { return info.param.name; });

struct BeforeCase
{
    const char* name;
    std::string text;
    std::string marker;
    std::optional<int> start;
    std::optional<bool> ignoreCase;
    std::string expected;
};

class BeforeTest : public testing::TestWithParam<BeforeCase> {};

TEST_P(BeforeTest, CutsFromFirstByte)
{
    const BeforeCase& c = GetParam();
    EXPECT_EQ(Text_Before(Text(c.text), Text(c.marker), c.start, c.ignoreCase), Text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Cutting, BeforeTest,
                         testing::Values(BeforeCase{"Cookie", "sid=ab12; path=/", ";", {}, {}, "sid=ab12"},
                                         BeforeCase{"NoMarker", "sid=ab12", ";", {}, {}, ""},
                                         BeforeCase{"MarkerFirst", ";sid", ";", {}, {}, ""},
                                         BeforeCase{"FromStart", "a;bc;d", ";", 5, {}, "a;bc"},
                                         BeforeCase{"StartBelowOne", "a;bc;d", ";", -3, {}, "a"},
                                         BeforeCase{"CaseMattersByDefault", "aXbxc", "x", {}, {}, "aXb"},
                                         BeforeCase{"IgnoreCase", "aXbxc", "x", {}, true, "a"},
                                         BeforeCase{"NotInSecondByte", "\xB0;a;", ";", {}, {}, "\xB0;a"}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace murrel
