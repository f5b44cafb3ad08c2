// Msg_Box, Window_OfProcess and Window_List over a window system that the test lays out.
#include "msgbox/msg_box.h"

#include <gtest/gtest.h>

#include <string>

namespace murrel {
namespace {

const Text kFriendlyReminder("\xD3\xD1\xC7\xE9\xCC\xE1\xD0\xD1");  // "友情提醒" in GBK

struct FakeWindow
{
    WindowHandle handle;
    bool visible;
    std::uint32_t processId;
    std::uint32_t threadId = 7;
    Text title = Text();
    Text className = "Window";
};

struct ShownBox
{
    WindowHandle owner;
    Text message;
    Text caption;
    std::uint32_t style;
};

class FakeWindowSystem : public WindowSystem
{
public:
    std::vector<FakeWindow> windows;
    std::vector<ShownBox> shown;
    int pressed = kIdOk;

    std::vector<WindowHandle> topLevelWindows() override
    {
        std::vector<WindowHandle> handles;
        for (const FakeWindow& window : windows) {
            handles.push_back(window.handle);
        }
        return handles;
    }
    bool isVisible(WindowHandle window) override { return find(window).visible; }
    std::uint32_t processIdOf(WindowHandle window) override { return find(window).processId; }
    std::uint32_t threadIdOf(WindowHandle window) override { return find(window).threadId; }
    Text titleOf(WindowHandle window) override { return find(window).title; }
    Text classNameOf(WindowHandle window) override { return find(window).className; }
    int messageBox(WindowHandle owner, const Text& message, const Text& caption, std::uint32_t style) override
    {
        shown.push_back({owner, message, caption, style});
        return pressed;
    }

private:
    const FakeWindow& find(WindowHandle handle) const
    {
        for (const FakeWindow& window : windows) {
            if (window.handle == handle) {
                return window;
            }
        }
        throw std::logic_error("unknown window");
    }
};

class MsgBoxTest : public testing::Test
{
protected:
    MsgBoxTest()
    {
        installWindowSystem(&m_system);
        bindEnumerationList(&m_enumerationList);
    }
    ~MsgBoxTest() override
    {
        bindEnumerationList(nullptr);
        installWindowSystem(nullptr);
    }

    const std::uint32_t m_ownPid = currentProcessId();
    const std::uint32_t m_otherPid = currentProcessId() + 1;
    FakeWindowSystem m_system;
    WindowList m_enumerationList;
};

TEST_F(MsgBoxTest, DefaultsToTheInformationBoxOwnedByTheFirstVisibleWindowOfTheProcess)
{
    m_system.windows = {
        {1, true, m_otherPid},
        {2, false, m_ownPid},  // a hidden tool window is never the owner
        {3, true, m_ownPid},
        {4, true, m_ownPid},
    };
    EXPECT_EQ(Msg_Box("hello"), 0);
    ASSERT_EQ(m_system.shown.size(), 1u);
    EXPECT_EQ(m_system.shown[0].owner, 3u);
    EXPECT_EQ(m_system.shown[0].message, Text("hello"));
    EXPECT_EQ(m_system.shown[0].caption, kFriendlyReminder);
    EXPECT_EQ(m_system.shown[0].style, 0x40u);
}

TEST_F(MsgBoxTest, WithoutAVisibleWindowOfTheProcessTheBoxHasNoOwner)
{
    m_system.windows = {{1, true, m_otherPid}, {2, false, m_ownPid}};
    Msg_Box("hello");
    ASSERT_EQ(m_system.shown.size(), 1u);
    EXPECT_EQ(m_system.shown[0].owner, 0u);
}

TEST_F(MsgBoxTest, GivenStyleCaptionAndOwnerAreUsedUnchanged)
{
    m_system.windows = {{3, true, m_ownPid}};
    const Text caption("\xD0\xC5\xCF\xA2\xA3\xBA");  // "信息："
    Msg_Box("m", 0x2000, caption, WindowHandle{0});
    Msg_Box("m", 0x24, std::nullopt, WindowHandle{99});
    ASSERT_EQ(m_system.shown.size(), 2u);
    EXPECT_EQ(m_system.shown[0].owner, 0u);
    EXPECT_EQ(m_system.shown[0].caption, caption);
    EXPECT_EQ(m_system.shown[0].style, 0x2000u);
    EXPECT_EQ(m_system.shown[1].owner, 99u);
    EXPECT_EQ(m_system.shown[1].caption, kFriendlyReminder);
    EXPECT_EQ(m_system.shown[1].style, 0x24u);
}

TEST_F(MsgBoxTest, NumbersTheButtonsFromZero)
{
    struct Case
    {
        int pressed;
        int result;
    };
    const Case cases[] = {{0, -1}, {1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}};
    for (const Case& c : cases) {
        m_system.pressed = c.pressed;
        EXPECT_EQ(Msg_Box("m"), c.result) << "button id " << c.pressed;
    }
}

TEST_F(MsgBoxTest, FailsWithoutAWindowSystem)
{
    installWindowSystem(nullptr);
    EXPECT_EQ(Msg_Box("m"), -1);
    EXPECT_EQ(Window_OfProcess(m_ownPid), 0u);
}

TEST_F(MsgBoxTest, WindowListTakesTheVisibleWindowsInOrderAndLeavesTheEnumerationListEmpty)
{
    m_system.windows = {
        {5, true, m_otherPid, 11, "first", "ClassA"},
        {6, false, m_ownPid, 12, "hidden", "ClassB"},
        {7, true, m_ownPid, 13, "", "ClassC"},
    };
    WindowList list(3);  // whatever the caller held is replaced
    EXPECT_EQ(Window_List(list), 2);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].hwnd, 5u);
    EXPECT_EQ(list[0].processId, m_otherPid);
    EXPECT_EQ(list[0].threadId, 11u);
    EXPECT_EQ(list[0].title, Text("first"));
    EXPECT_EQ(list[0].className, Text("ClassA"));
    EXPECT_EQ(list[1].hwnd, 7u);
    EXPECT_EQ(list[1].title, Text());
    EXPECT_TRUE(m_enumerationList.empty());
}

TEST_F(MsgBoxTest, CutsTitlesTo255BytesAndClassNamesTo49)
{
    m_system.windows = {{1, true, m_ownPid, 1, Text(std::string(300, 't')), Text(std::string(60, 'c'))}};
    WindowList list;
    ASSERT_EQ(Window_List(list), 1);
    EXPECT_EQ(list[0].title, Text(std::string(255, 't')));
    EXPECT_EQ(list[0].className, Text(std::string(49, 'c')));
}

TEST_F(MsgBoxTest, EnumerationCallbackAlwaysGoesOnAndSkipsHiddenWindows)
{
    m_system.windows = {{1, false, m_ownPid}, {2, true, m_ownPid}};
    EXPECT_TRUE(Window_OnEnum(1, 0));
    EXPECT_TRUE(m_enumerationList.empty());
    EXPECT_TRUE(Window_OnEnum(2, 0));
    ASSERT_EQ(m_enumerationList.size(), 1u);
    EXPECT_EQ(m_enumerationList[0].hwnd, 2u);
}

}  // namespace
}  // namespace murrel
