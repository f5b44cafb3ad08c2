// The byte rules of the GBK text and byte primitives.
#include "textutil/text_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace murrel {
namespace {

using namespace std::string_literals;

// "\xB0\x62" is one two-byte character whose second byte is "b"; "\xA1\xA1" is the full-width space.
constexpr const char* kLeadB = "\xB0\x62";

struct FindCase
{
    const char* name;
    std::string text;
    std::string wanted;
    std::optional<int> start;
    bool ignoreCase;
    int expected;
};

class FindTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTest, GivesPositionFromFirstByte)
{
    const FindCase& c = GetParam();
    EXPECT_EQ(find(Text(c.text), Text(c.wanted), c.start, c.ignoreCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextOps, FindTest,
    testing::Values(FindCase{"FromStart3", "abcb", "b", 3, false, 4}, FindCase{"PastLastHit", "abcb", "b", 5, false, -1},
                    FindCase{"NoStart", "abcb", "b", std::nullopt, false, 2},
                    FindCase{"StartBelowOne", "abcb", "b", -7, false, 2},
                    FindCase{"IgnoreCase", "xa", "A", std::nullopt, true, 2},
                    FindCase{"CaseMatters", "xa", "A", std::nullopt, false, -1},
                    FindCase{"NotInSecondByte", kLeadB + "b"s, "b", std::nullopt, false, 3},
                    FindCase{"StartOnSecondByte", kLeadB + "b"s, "b", 2, false, 3},
                    FindCase{"NotAcrossCharacters", "a\xB0\xA1\xA1", "\xA1\xA1", std::nullopt, false, -1},
                    FindCase{"FoldsAsciiOnly", "\xB0\xC1", "\xB0\xE1", std::nullopt, true, -1},
                    FindCase{"LongerThanText", "ab", "abc", std::nullopt, false, -1},
                    FindCase{"EmptyWanted", "abc", "", std::nullopt, false, 1},
                    FindCase{"EmptyWantedEmptyText", "", "", std::nullopt, false, -1},
                    FindCase{"EmptyWantedPastEnd", "abc", "", 4, false, -1},
                    FindCase{"LoneLeadAtEnd", "a\xB0", "\xB0", std::nullopt, false, 2}),
    [](const auto& info) { return info.param.name; });

struct ReverseFindCase
{
    const char* name;
    std::string text;
    std::string wanted;
    bool ignoreCase;
    int expected;
};

class ReverseFindTest : public testing::TestWithParam<ReverseFindCase> {};

TEST_P(ReverseFindTest, GivesLastPosition)
{
    const ReverseFindCase& c = GetParam();
    EXPECT_EQ(reverseFind(Text(c.text), Text(c.wanted), c.ignoreCase), c.expected);
}

INSTANTIATE_TEST_SUITE_P(TextOps, ReverseFindTest,
                         testing::Values(ReverseFindCase{"Last", "abcb", "b", false, 4},
                                         ReverseFindCase{"IgnoreCase", "xaxA", "a", true, 4},
                                         ReverseFindCase{"CaseMatters", "xaxA", "a", false, 2},
                                         ReverseFindCase{"NotInSecondByte", "b"s + kLeadB, "b", false, 1},
                                         ReverseFindCase{"Missing", "abc", "x", false, -1},
                                         ReverseFindCase{"EmptyText", "", "a", false, -1}),
                         [](const auto& info) { return info.param.name; });

struct ResultCase
{
    const char* name;
    Text actual;
    Text expected;
};

class CutTest : public testing::TestWithParam<ResultCase> {};

TEST_P(CutTest, GivesExpectedBytes)
{
    EXPECT_EQ(GetParam().actual, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextOps, CutTest,
    testing::Values(
        ResultCase{"LeftPart", left("abc", 2), "ab"}, ResultCase{"LeftZero", left("abc", 0), ""},
        ResultCase{"LeftNegative", left("abc", -1), ""}, ResultCase{"LeftBeyond", left("abc", 5), "abc"},
        ResultCase{"LeftSplitsCharacter", left(Text("\xB0\xA1x"), 1), "\xB0"},
        ResultCase{"RightPart", right("abc", 2), "bc"}, ResultCase{"RightBeyond", right("abc", 5), "abc"},
        ResultCase{"RightZero", right("abc", 0), ""}, ResultCase{"MidMiddle", mid("abcd", 2, 2), "bc"},
        ResultCase{"MidStartZero", mid("abcd", 0, 2), ""}, ResultCase{"MidPastEnd", mid("abcd", 5, 1), ""},
        ResultCase{"MidLongCount", mid("abcd", 3, 9), "cd"}, ResultCase{"MidZeroCount", mid("abcd", 2, 0), ""},
        ResultCase{"ReplaceAtMiddle", replaceAt("abcdef", 2, 3, Text("X")), "aXef"},
        ResultCase{"ReplaceAtStartBelowOne", replaceAt("abc", 0, 1), "bc"},
        ResultCase{"ReplaceAtOnePastEnd", replaceAt("abc", 4, 2, Text("X")), "abcX"},
        ResultCase{"ReplaceAtFarPastEnd", replaceAt("abc", 10, 2, Text("X")), "abcX"},
        ResultCase{"ReplaceAtLengthBeyond", replaceAt("abc", 2, 10, Text("X")), "aX"},
        ResultCase{"ReplaceAtInsertOnly", replaceAt("abc", 2, 0, Text("X")), "aXbc"},
        ResultCase{"ReplaceAtNegativeLength", replaceAt("abc", 2, -1, Text("X")), "aXbc"},
        ResultCase{"TrimFullWidthKeepsTab", trimBoth(Text("\xA1\xA1" "ab\t")), "ab\t"},
        ResultCase{"TrimBothSides", trimBoth(Text("  a b \xA1\xA1 ")), "a b"},
        ResultCase{"TrimStopsAtTab", trimBoth(Text("\t a")), "\t a"},
        ResultCase{"TrimOnlySpaces", trimBoth(Text(" \xA1\xA1\xA1\xA1 ")), ""},
        ResultCase{"TrimNotInsideCharacter", trimBoth(Text("a\xB0\xA1\xA1")), "a\xB0\xA1\xA1"},
        ResultCase{"TrimNotSecondByte", trimBoth(Text("a\xB0 ")), "a\xB0 "},
        ResultCase{"RemoveSpaces", removeAllSpaces(Text(" a\xA1\xA1 b\t\r\n")), "ab\t\r\n"},
        ResultCase{"RemoveSpacesNotInsideCharacter", removeAllSpaces(Text("\xB0\xA1\xA1")), "\xB0\xA1\xA1"},
        ResultCase{"UpperAsciiOnly", toUpper(Text("aZ\xB0\x61")), "AZ\xB0\x61"},
        ResultCase{"LowerAsciiOnly", toLower(Text("Az\xB0\x41")), "az\xB0\x41"},
        ResultCase{"CharFromCode", charFromCode(65), "A"}, ResultCase{"CharFromCodeZero", charFromCode(0), ""},
        ResultCase{"CharFromNegativeCode", charFromCode(-80), "\xB0"},
        ResultCase{"BlankText", blankText(3), "   "}, ResultCase{"BlankTextNegative", blankText(-1), ""},
        ResultCase{"JoinTexts", join({Text("a"), Text(), Text("b")}), "ab"},
        ResultCase{"IntToText", intToText(-42), "-42"},
        ResultCase{"True", boolToText(true), "\xD5\xE6"},   // "真"
        ResultCase{"False", boolToText(false), "\xBC\xD9"}  // "假"
        ),
    [](const auto& info) { return info.param.name; });

struct ReplaceCase
{
    const char* name;
    std::string text;
    std::string old;
    std::string replacement;
    bool caseSensitive;
    std::optional<int> start;
    std::optional<int> count;
    std::string expected;
};

class ReplaceSubTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceSubTest, ReplacesLeftToRight)
{
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(replaceSub(Text(c.text), Text(c.old), Text(c.replacement), c.caseSensitive, c.start, c.count),
              Text(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    TextOps, ReplaceSubTest,
    testing::Values(ReplaceCase{"CaseSensitive", "aXbxc", "x", "-", true, {}, {}, "aXb-c"},
                    ReplaceCase{"IgnoreCase", "aXbxc", "x", "-", false, {}, {}, "a-b-c"},
                    ReplaceCase{"NonOverlapping", "aaaaa", "aa", "b", true, {}, {}, "bba"},
                    ReplaceCase{"FromStart", "abab", "ab", "X", true, 2, {}, "abX"},
                    ReplaceCase{"AtMostCount", "ababab", "ab", "X", true, {}, 2, "XXab"},
                    ReplaceCase{"Remove", "a\r\nb\rc\n", "\r\n", "", true, {}, {}, "ab\rc\n"},
                    ReplaceCase{"NotInSecondByte", kLeadB + "b"s, "b", "X", true, {}, {}, kLeadB + "X"s},
                    ReplaceCase{"Grows", "a.b", ".", "...", true, {}, {}, "a...b"},
                    ReplaceCase{"EmptyOld", "abc", "", "X", true, {}, {}, "abc"},
                    ReplaceCase{"EmptyText", "", "a", "X", true, {}, {}, ""}),
    [](const auto& info) { return info.param.name; });

TEST(TextOps, CharCodeIsSignedByteOrZeroOutside)
{
    const Text text("\xB0x");
    EXPECT_EQ(charCode(text), -80);
    EXPECT_EQ(charCode(text, 2), 'x');
    EXPECT_EQ(charCode(text, 0), 0);
    EXPECT_EQ(charCode(text, 3), 0);
}

TEST(TextOps, EqualityFoldsAsciiOnlyWhenAsked)
{
    EXPECT_TRUE(textEquals("Ab", "aB", false));
    EXPECT_FALSE(textEquals("Ab", "aB", true));
    EXPECT_FALSE(textEquals(Text("\xC1"), Text("\xE1"), false));
    EXPECT_TRUE(textEquals(Text(), "", true));
}

TEST(TextOps, BytesKeepNulsAndTextStopsAtFirst)
{
    const Bytes withNul("a\0b"s);
    EXPECT_EQ(withNul.size(), 3U);
    EXPECT_EQ(bytesToText(withNul), Text("a"));
    EXPECT_EQ(textToBytes(Text("ab")), Bytes("ab"s));
    EXPECT_EQ(join({withNul, Bytes(), Bytes("c"s)}), Bytes("a\0bc"s));
    EXPECT_TRUE(join({Bytes(), Bytes()}).empty());
    EXPECT_EQ(blankBytes(2), Bytes("\0\0"s));
    EXPECT_TRUE(blankBytes(0).empty());
    EXPECT_EQ(bytesLeft(withNul, 2), Bytes("a\0"s));
    EXPECT_EQ(bytesLeft(withNul, 9), withNul);
    EXPECT_TRUE(bytesLeft(withNul, -1).empty());
}

struct NumberCase
{
    const char* name;
    std::string text;
    double expected;
};

class TextToNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(TextToNumberTest, ReadsLeadingDecimal)
{
    EXPECT_DOUBLE_EQ(textToNumber(Text(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextOps, TextToNumberTest,
    testing::Values(NumberCase{"StopsAtSlash", "81/x", 81}, NumberCase{"Letters", "x", 0}, NumberCase{"Empty", "", 0},
                    NumberCase{"FullWidthDigits", "\xA3\xB8\xA3\xB1", 81},  // "８１"
                    NumberCase{"FullWidthSignAndPoint", "\xA3\xAD\xA3\xB1\xA3\xAE\xA3\xB5", -1.5},  // "－１．５"
                    NumberCase{"Exponent", "-3.5e2x", -350}, NumberCase{"BareExponent", "1e", 1},
                    NumberCase{"LeadingSpace", " 12", 12}, NumberCase{"FractionOnly", ".5", 0.5},
                    NumberCase{"SecondPoint", "1.5.2", 1.5}, NumberCase{"SignOnly", "-", 0},
                    NumberCase{"Infinity", "inf", 0}, NumberCase{"NaN", "nan", 0}, NumberCase{"Hex", "0x1A", 0}),
    [](const auto& info) { return info.param.name; });

TEST(TextOps, TruncateToIntGoesTowardZeroAndStaysInRange)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(truncateToInt(2.9), 2);
    EXPECT_EQ(truncateToInt(-2.9), -2);
    EXPECT_EQ(truncateToInt(std::nan("")), 0);
    EXPECT_EQ(truncateToInt(1e20), kMax);
    EXPECT_EQ(truncateToInt(-1e20), kMin);
    EXPECT_EQ(truncateToInt(textToNumber("1e400")), kMax);
}

}  // namespace
}  // namespace murrel
