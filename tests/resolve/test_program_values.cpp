// The program-wide values: bound as the enumeration list from the start, released once.
#include "msgbox/msg_box.h"
#include "resolve/program_values.h"
#include "resolve/random_number.h"
#include "step_doubles.h"

#include <gtest/gtest.h>

namespace murrel::test {
namespace {

class OneVisibleWindow : public MessageBoxRecorder
{
public:
    bool isVisible(WindowHandle) override { return true; }
    Text titleOf(WindowHandle) override { return "Murrel"; }
};

class ProgramValuesTest : public ::testing::Test
{
protected:
    void SetUp() override { installWindowSystem(&m_desktop); }
    void TearDown() override { installWindowSystem(nullptr); }

    OneVisibleWindow m_desktop;
};

TEST_F(ProgramValuesTest, EnumerationFillsTheWindowListUntilRelease)
{
    ProgramValues values;
    Window_OnEnum(7, 0);
    ASSERT_EQ(values.App_WindowList.size(), 1u);
    EXPECT_EQ(values.App_WindowList[0].hwnd, 7u);
    EXPECT_EQ(values.App_WindowList[0].title, Text("Murrel"));

    values.release();
    EXPECT_TRUE(values.App_WindowList.empty());
    Window_OnEnum(8, 0);
    EXPECT_TRUE(values.App_WindowList.empty());
    WindowList unbound;
    EXPECT_EQ(Window_List(unbound), 1);  // the enumeration went to the private list
}

TEST_F(ProgramValuesTest, ReleaseEmptiesEveryValueOnceAndNeverUsedValuesReleaseToo)
{
    ProgramValues used;
    used.App_FileId = "23075823";
    used.App_HashPage = "<html>";
    used.App_HashKey = "0123456789abcdef0123456789abcdef";
    used.App_Regex.Search("key=\\w{32}", "key=0123456789abcdef0123456789abcdef");
    used.release();
    EXPECT_TRUE(used.released());
    EXPECT_EQ(used.App_FileId, Text());
    EXPECT_EQ(used.App_HashPage, Text());
    EXPECT_EQ(used.App_HashKey, Text());
    EXPECT_EQ(used.App_Regex.MatchCount(), 0);
    used.release();  // a second call does nothing

    ProgramValues unused;
    unused.release();
    EXPECT_TRUE(unused.released());
}

TEST(RandomNumber, StaysWithinItsBoundsBothIncluded)
{
    Random_Seed();
    bool sawLow = false;
    bool sawHigh = false;
    for (int draw = 0; draw < 200; ++draw) {
        const int number = Random_Between(1, 3);
        ASSERT_GE(number, 1);
        ASSERT_LE(number, 3);
        sawLow = sawLow || number == 1;
        sawHigh = sawHigh || number == 3;
    }
    EXPECT_TRUE(sawLow && sawHigh);
    EXPECT_EQ(Random_Between(5, 5), 5);
    EXPECT_EQ(Random_Between(9, 9), 9);
}

}  // namespace
}  // namespace murrel::test
