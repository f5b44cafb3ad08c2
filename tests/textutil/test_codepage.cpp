// Conversions of UTF-8, Big5 and UTF-16 into GBK and back, on Microsoft's tables for 936 and 950.
#include "textutil/codepage.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace murrel {
namespace {

using namespace std::string_literals;

// UTF-8 "中文" and its GBK form; Big5 "中國" and the simplified GBK "中国".
constexpr const char* kUtf8Zhongwen = "\xE4\xB8\xAD\xE6\x96\x87";
constexpr const char* kGbkZhongwen = "\xD6\xD0\xCE\xC4";
constexpr const char* kBig5Zhongguo = "\xA4\xA4\xB0\xEA";
constexpr const char* kGbkZhongguo = "\xD6\xD0\xB9\xFA";
// Sixteen ASCII bytes: enough for a run that is copied as it is.
constexpr const char* kLongAscii = "0123456789abcdef";

struct ConversionCase
{
    const char* name;
    std::function<Text(const std::string&)> convert;
    std::string input;
    std::string expected;
};

class ConversionTest : public testing::TestWithParam<ConversionCase> {};

TEST_P(ConversionTest, GivesGbkBytes)
{
    const ConversionCase& c = GetParam();
    EXPECT_EQ(c.convert(c.input).str(), c.expected);
}

Text utf8Body(const std::string& bytes)
{
    return Code_Utf8BytesToGbk(Bytes(bytes));
}
Text utf8Text(const std::string& bytes)
{
    return Code_Utf8ToGbk(Text(bytes));
}
Text big5Text(const std::string& bytes)
{
    return Code_Big5ToGbk(Text(bytes));
}
Text simplified(const std::string& bytes)
{
    return Code_ToSimplified(Text(bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Utf8Body, ConversionTest,
    testing::Values(ConversionCase{"Chinese", utf8Body, kUtf8Zhongwen, kGbkZhongwen},
                    ConversionCase{"Empty", utf8Body, "", ""},
                    ConversionCase{"EndsAtNul", utf8Body, "ab\0"s + kUtf8Zhongwen, "ab"},
                    ConversionCase{"AsciiUnchanged", utf8Body, "key=abc_123\r\n\t~", "key=abc_123\r\n\t~"},
                    ConversionCase{"LongAsciiAroundChinese", utf8Body,
                                   kLongAscii + std::string(kUtf8Zhongwen) + "x" + kUtf8Zhongwen + kLongAscii,
                                   kLongAscii + std::string(kGbkZhongwen) + "x" + kGbkZhongwen + kLongAscii},
                    // "e" + U+0301 becomes "é" (A8 A6), even after a run of ASCII copied as it is.
                    ConversionCase{"ComposesMark", utf8Body, "xe\xCC\x81y", "x\xA8\xA6y"},
                    ConversionCase{"ComposesAfterLongAscii", utf8Body, kLongAscii + "e\xCC\x81"s,
                                   kLongAscii + "\xA8\xA6"s},
                    ConversionCase{"EuroIs80", utf8Body, "\xE2\x82\xAC", "\x80"},
                    ConversionCase{"MissingInGbkIsQuestionMark", utf8Body, "a\xF0\x9F\x98\x80" "b", "a?b"},
                    ConversionCase{"InvalidUtf8IsQuestionMark", utf8Body, "a\xFF\xC3" "b", "a??b"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Utf8Text, ConversionTest,
    testing::Values(ConversionCase{"Chinese", utf8Text, kUtf8Zhongwen, kGbkZhongwen},
                    ConversionCase{"Empty", utf8Text, "", ""},
                    ConversionCase{"AsciiUnchanged", utf8Text, "value=\"x\"/>", "value=\"x\"/>"},
                    // No composition here: the mark has no GBK form of its own.
                    ConversionCase{"LeavesMarkAlone", utf8Text, "e\xCC\x81", "e?"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Big5, ConversionTest,
    testing::Values(ConversionCase{"SimplifiedChinese", big5Text, kBig5Zhongguo, kGbkZhongguo},
                    // The third character, U+2027 (A1 45), has no GBK form and ends the text.
                    ConversionCase{"EndsBeforeCharacterGbkLacks", big5Text, kBig5Zhongguo + "\xA1\x45\xA4\xE5"s,
                                   kGbkZhongguo},
                    ConversionCase{"AsciiUnchanged", big5Text, "abc 123", "abc 123"},
                    ConversionCase{"Empty", big5Text, "", ""},
                    // A lead byte without a valid trail byte becomes "?" and the text goes on.
                    ConversionCase{"InvalidByteIsQuestionMark", big5Text, "a\xA4 b", "a? b"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Simplified, ConversionTest,
    testing::Values(ConversionCase{"Traditional", simplified, "a\x87\xF8" "b", "a\xB9\xFA" "b"},
                    ConversionCase{"AlreadySimplified", simplified, kGbkZhongguo, kGbkZhongguo},
                    ConversionCase{"Ascii", simplified, "Hello, world", "Hello, world"},
                    // Euro sign and 0xFF are single bytes in 936; a lead byte at the end stays as it is.
                    ConversionCase{"SingleBytesAndLoneLead", simplified, "\x80\xFF\x87\xF8\x87",
                                   "\x80\xFF\xB9\xFA\x87"}),
    [](const auto& info) { return info.param.name; });

TEST(CodeToSimplified, NeverChangesByteLength)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int round = 0; round < 200; ++round) {
        std::string text(static_cast<std::size_t>(round % 40), 'x');
        for (char& c : text) {
            c = static_cast<char>(byte(random));
        }
        EXPECT_EQ(Code_ToSimplified(Text(text)).size(), text.size());
    }
}

struct WideCase
{
    const char* name;
    std::string text;
    std::optional<int> codePage;
    std::string utf16le;  // with the terminating zero unit
};

class WideTest : public testing::TestWithParam<WideCase> {};

TEST_P(WideTest, ToWideGivesUnitsWithTerminator)
{
    const WideCase& c = GetParam();
    EXPECT_EQ(Code_ToWide(Text(c.text), c.codePage).str(), c.utf16le);
}

INSTANTIATE_TEST_SUITE_P(
    CodeToWide, WideTest,
    testing::Values(WideCase{"Utf8ByDefault", "a\xE4\xB8\xAD", std::nullopt, "a\0\x2D\x4E\0\0"s},
                    WideCase{"Gbk", "a\xD6\xD0", kCodePageGbk, "a\0\x2D\x4E\0\0"s},
                    WideCase{"AnsiIsGbk", "\x80", kCodePageAnsi, "\xAC\x20\0\0"s},
                    WideCase{"Big5", "\xA4\xA4", kCodePageBig5, "\x2D\x4E\0\0"s},
                    WideCase{"Empty", "", std::nullopt, "\0\0"s},
                    WideCase{"UnknownCodePage", "abc", -5, "\0\0"s}),
    [](const auto& info) { return info.param.name; });

struct FromWideCase
{
    const char* name;
    std::string utf16le;
    std::optional<int> codePage;
    std::string expected;
};

class FromWideTest : public testing::TestWithParam<FromWideCase> {};

TEST_P(FromWideTest, ConvertsUnitsBeforeFirstZero)
{
    const FromWideCase& c = GetParam();
    EXPECT_EQ(Code_FromWide(Bytes(c.utf16le), c.codePage).str(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CodeFromWide, FromWideTest,
    testing::Values(FromWideCase{"AnsiByDefault", "a\0\x2D\x4E\0\0"s, std::nullopt, "a\xD6\xD0"},
                    FromWideCase{"Big5", "\x2D\x4E\0\0"s, kCodePageBig5, "\xA4\xA4"},
                    FromWideCase{"Utf8", "\x2D\x4E\0\0"s, kCodePageUtf8, "\xE4\xB8\xAD"},
                    FromWideCase{"StopsAtZeroUnit", "a\0\0\0b\0"s, kCodePageGbk, "a"},
                    FromWideCase{"LoneSurrogateIsQuestionMark", "\x00\xD8" "a\0\0\0"s, kCodePageGbk, "?a"},
                    FromWideCase{"OddByteIgnored", "a\0b"s, kCodePageGbk, "a"},
                    FromWideCase{"UnknownCodePage", "a\0\0\0"s, 12345, ""}),
    [](const auto& info) { return info.param.name; });

TEST(CodeUtf8ToGbk, MatchesTheWayThroughToWideAndFromWide)
{
    // Mixtures of ASCII runs of every length, Chinese, marks and invalid bytes exercise the ASCII copying.
    const std::vector<std::string> pieces = {"a", kLongAscii, "e\xCC\x81", kUtf8Zhongwen, "\xFF", " \n", "\xE2\x82\xAC"};
    std::mt19937 random(11);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0; i < round % 23; ++i) {
            text += pieces[pick(random)];
        }
        EXPECT_EQ(Code_Utf8ToGbk(Text(text)), Code_FromWide(Code_ToWide(Text(text)), kCodePageGbk)) << text;
    }
}

TEST(CodeGbkUtf16, RoundTripsAndMarksInvalidBytes)
{
    const Text text("a\xD6\xD0\x80\xFF");
    const std::u16string units = gbkToUtf16(text);
    EXPECT_EQ(units, u"a\u4E2D\u20AC\uF8F5");
    EXPECT_EQ(utf16ToGbk(units), text);
    EXPECT_EQ(gbkToUtf16(Text("a\x81 b")), u"a\uFFFD b");
    EXPECT_EQ(utf16ToGbk(u"x\u00E9\U0001F600y"), Text("x\xA8\xA6?y"));
    EXPECT_EQ(utf16ToGbk(std::u16string(u"a\0b", 3)), Text("a"));
}

TEST(CodeGbkUtf16, AsciiShortcutsGiveWhatWholeTextConversionGives)
{
    // ASCII runs long enough to be widened directly, next to trail bytes in the ASCII range (81 40 is
    // U+4E02), invalid trail bytes and a lone lead byte.
    const std::string cases[] = {
        "\x81\x40" + std::string(kLongAscii) + "\xD6\xD0",
        "\x81" + std::string(kLongAscii) + "\x81\x40\x81",
        std::string(kLongAscii) + "\xD6" + kLongAscii + "\x80\xFF\x81\x7F" + kLongAscii,
        "\xD6\xD0" "abc\xCE\xC4" + std::string(kLongAscii) + kLongAscii,
    };
    for (const std::string& gbk : cases) {
        std::u16string whole;
        const Bytes wide = Code_ToWide(Text(gbk), kCodePageGbk);
        for (std::size_t i = 0; i + 3 < wide.size(); i += 2) {
            whole.push_back(static_cast<char16_t>(wide.at(i) | wide.at(i + 1) << 8));
        }
        EXPECT_EQ(gbkToUtf16(Text(gbk)), whole) << gbk;
        EXPECT_EQ(gbkUnitOffsets(Text(gbk)).size(), whole.size() + 1) << gbk;
    }
}

TEST(CodeGbkUnitOffsets, GivesByteOfEachUnitAndTheLength)
{
    // a | 中 | invalid 81 | space | 文 | lone lead at the end
    const Text text("a\xD6\xD0\x81 \xCE\xC4\x81");
    const std::vector<std::size_t> expected = {0, 1, 3, 4, 5, 7, 8};
    EXPECT_EQ(gbkUnitOffsets(text), expected);
    EXPECT_EQ(gbkToUtf16(text).size() + 1, expected.size());
}

TEST(CodePageThreads, ConcurrentConversionsAgree)
{
    const std::string body = std::string(kLongAscii) + kUtf8Zhongwen + "e\xCC\x81" + kUtf8Zhongwen;
    const Text expectedUtf8 = Code_Utf8BytesToGbk(Bytes(body));
    const Text expectedBig5 = Code_Big5ToGbk(Text(kBig5Zhongguo));
    std::vector<int> failures(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < failures.size(); ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                failures[t] += Code_Utf8BytesToGbk(Bytes(body)) != expectedUtf8;
                failures[t] += Code_Big5ToGbk(Text(kBig5Zhongguo)) != expectedBig5;
                failures[t] += gbkToUtf16(expectedUtf8).empty();
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(4, 0));
}

}  // namespace
}  // namespace murrel
