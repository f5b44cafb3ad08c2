// GBK to UTF-16LE, with and without the terminator.
#include "picture/gbk_to_utf16.h"

#include <gtest/gtest.h>

namespace murrel {
namespace {

TEST(GbkToUtf16, EmptyTextGivesEmptyBytes)
{
    EXPECT_TRUE(Code_GbkToUtf16(Text()).empty());
    EXPECT_TRUE(Code_GbkToUtf16(Text(), true).empty());
}

TEST(GbkToUtf16, ClsidKeepsOrDropsTheTerminator)
{
    const Text clsid("{557CF402-1A04-11D3-9A73-0000F81EF32E}");
    const Bytes withTerminator = Code_GbkToUtf16(clsid);
    ASSERT_EQ(withTerminator.size(), 78u);
    EXPECT_EQ(withTerminator.view().substr(0, 4), std::string_view("{\0005\0", 4));
    EXPECT_EQ(withTerminator.view().substr(76), std::string_view("\0\0", 2));
    EXPECT_EQ(Code_GbkToUtf16(clsid, false), withTerminator);
    EXPECT_EQ(Code_GbkToUtf16(clsid, true).size(), 76u);
}

TEST(GbkToUtf16, ChineseCharactersBecomeOneUnitEach)
{
    // "信息" is U+4FE1 U+606F.
    EXPECT_EQ(Code_GbkToUtf16(Text("\xD0\xC5\xCF\xA2"), true), Bytes(std::string_view("\xE1\x4F\x6F\x60", 4)));
}

}  // namespace
}  // namespace murrel
