// Base64 decoding group by group, with pad and stray characters.
#include "textutil/base64.h"

#include "textutil/process_events.h"

#include <gtest/gtest.h>

#include <string>

namespace murrel {
namespace {

using namespace std::string_literals;

struct DecodeCase
{
    const char* name;
    std::string text;
    std::string expected;
};

class Base64Test : public testing::TestWithParam<DecodeCase> {};

TEST_P(Base64Test, Decodes)
{
    EXPECT_EQ(Code_Base64Decode(Text(GetParam().text)), Bytes(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Code, Base64Test,
    testing::Values(
        DecodeCase{"OneGroup", "QUJD", "ABC"}, DecodeCase{"OnePad", "QUI=", "AB"}, DecodeCase{"TwoPads", "YQ==", "a"},
        DecodeCase{"ThreeUnpadded", "QUI", "AB\0"s}, DecodeCase{"TwoUnpadded", "YQ", "a\0\0"s},
        DecodeCase{"FiveUnpadded", "QUJDQ", "ABC\x40\0\0"s}, DecodeCase{"LowerCase", "qujd", "\xAA\xE8\xDD"},
        DecodeCase{"HighValues", "+/+/", "\xFB\xFF\xBF"}, DecodeCase{"Space", "QU JD", "ABC"},
        DecodeCase{"FullWidthSpace", "QU\xA1\xA1JD", "ABC"}, DecodeCase{"CrLf", "QU\r\nJD", "ABC"},
        DecodeCase{"Empty", "", ""}, DecodeCase{"OnlyPad", "=", ""}, DecodeCase{"OnlySpaces", " \xA1\xA1 ", ""},
        // A lone pad after complete groups drops only its own group: the data before it stays whole.
        DecodeCase{"LonePadAfterGroup", "QUJD=", "ABC"},
        // A group that stops early keeps only the bytes its found values determine, wherever it stands.
        DecodeCase{"PaddedValuesJoined", "QUI=YQ==", "ABa"},
        DecodeCase{"LineFeedInMiddle", "QU\nJQUJD", "AABC"},
        DecodeCase{"RejectedFirstInMiddle", "QUJD*UJDQUJD", "ABCABC"},
        DecodeCase{"NonAsciiRejected", "QUJ\xB0QUJD", "AB" "ABC"}),
    [](const auto& info) { return info.param.name; });

// Nothing from a rejected character or from the group before reaches the output: a stopped group
// gives the same bytes whatever character stopped it and whatever came before.
TEST(Base64, StoppedGroupIgnoresRejectedCharacterAndEarlierGroup)
{
    for (const char* stop : {"=", "*", "\n", "\t", "\xFF"}) {
        SCOPED_TRACE(testing::Message() << "stop byte " << static_cast<int>(static_cast<unsigned char>(*stop)));
        EXPECT_EQ(Code_Base64Decode(Text("////QU"s + stop + "=")), Bytes("\xFF\xFF\xFF" "A"s));
        EXPECT_EQ(Code_Base64Decode(Text("QU"s + stop + "=")), Bytes("A"s));
    }
}

class CountingPump : public EventPump
{
public:
    void processEvents() override { ++m_calls; }
    void runUntil(WakeSignal& /*done*/, Clock::time_point /*deadline*/) override {}
    int m_calls = 0;
};

TEST(Base64, LetsTheWindowHandleEventsAfterEachGroup)
{
    CountingPump pump;
    installEventPump(&pump);
    const Bytes decoded = Code_Base64Decode("QUJDQUJDQQ==");
    installEventPump(nullptr);
    EXPECT_EQ(decoded, Bytes("ABCABCA"s));
    EXPECT_EQ(pump.m_calls, 3);
}

}  // namespace
}  // namespace murrel
