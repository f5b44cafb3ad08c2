// What the window does while a step waits. Button presses are handled inside the wait, so a whole
// step runs nested in another: nothing guards against it, it must simply work and leave the values
// of the run that wrote them last. Closing the window ends the wait and the step.
#include "resolve/steps.h"
#include "step_doubles.h"
#include "textutil/process_events.h"

#include <gtest/gtest.h>

namespace murrel::test {
namespace {

// Runs the pressed step at the first chance the waiting step gives the window, then waits as usual.
class PressDuringWait : public EventPump
{
public:
    std::function<void()> press;

    void processEvents() override { pressOnce(); }
    void runUntil(WakeSignal& done, Clock::time_point deadline) override
    {
        pressOnce();
        done.waitUntil(deadline);
    }
    [[nodiscard]] bool pressed() const { return m_pressed; }

private:
    void pressOnce()
    {
        if (press) {
            auto step = std::move(press);
            press = nullptr;
            m_pressed = true;
            step();
        }
    }

    bool m_pressed = false;
};

// The steps with `Pump` installed as the window's event pump.
template <typename Pump>
class StepsWithPump : public StepTest
{
protected:
    void SetUp() override
    {
        StepTest::SetUp();
        installEventPump(&m_pump);
    }
    void TearDown() override
    {
        installEventPump(nullptr);
        StepTest::TearDown();
    }

    Pump m_pump;
};

using NestedSteps = StepsWithPump<PressDuringWait>;

TEST_F(NestedSteps, CaptchaPressedDuringCaptchaStep)
{
    pasteLink(service().shareLink("111"));
    m_pump.press = [this] {
        pasteLink(service().shareLink("222"));
        Resolve_CaptchaStep(values, window);
    };
    Resolve_CaptchaStep(values, window);

    ASSERT_TRUE(m_pump.pressed());
    EXPECT_EQ(service().server().requestCount(), 6u);
    EXPECT_EQ(values.App_FileId, Text("222"));
    // The outer run reads the link box again after the wait and keeps the hash of the new link.
    EXPECT_EQ(values.App_HashKey, Text(StandInService::hashFor("222")));
    EXPECT_EQ(window.calls("picture").size(), 2u);
    EXPECT_TRUE(window.enabled(Control::按钮_获取下载地址));
}

TEST_F(NestedSteps, LinkPressedDuringCaptchaStep)
{
    captchaStepAndTypeCode("111");
    const Text code = window.text(Control::编辑框_验证码);
    m_pump.press = [this, code] {
        window.type(Control::编辑框_验证码, code);
        Resolve_LinkStep(values, window);
    };
    Resolve_CaptchaStep(values, window);

    ASSERT_TRUE(m_pump.pressed());
    EXPECT_TRUE(desktop.boxes().empty());
    EXPECT_EQ(window.text(Control::编辑框_普通下载), Text(service().normalLinkFor("111")));
    EXPECT_EQ(values.App_HashKey, Text(StandInService::hashFor("111")));
}

TEST_F(NestedSteps, CaptchaPressedDuringLinkStep)
{
    captchaStepAndTypeCode("111");
    m_pump.press = [this] {
        pasteLink(service().shareLink("222"));
        Resolve_CaptchaStep(values, window);
    };
    Resolve_LinkStep(values, window);

    ASSERT_TRUE(m_pump.pressed());
    // The link step had built its form before the wait; the nested run changed only the values.
    const std::vector<RecordedRequest> posts = requestsTo("/guest_loginV2.php");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].formValue("file_id"), "111");
    EXPECT_EQ(values.App_FileId, Text("222"));
    EXPECT_EQ(window.calls("write").back().control, Control::编辑框_迅雷下载);
}

// The window is closed while a step waits: the wait ends and the step leaves the window alone.
class CloseDuringWait : public EventPump
{
public:
    void processEvents() override {}
    void runUntil(WakeSignal&, Clock::time_point) override { m_closed = true; }
    [[nodiscard]] bool shuttingDown() const override { return m_closed; }

private:
    bool m_closed = false;
};

using WindowClosed = StepsWithPump<CloseDuringWait>;

TEST_F(WindowClosed, CaptchaStepTouchesNothingAfterTheWait)
{
    pasteLink(service().shareLink("111"));
    Resolve_CaptchaStep(values, window);
    EXPECT_TRUE(window.calls("picture").empty());
    EXPECT_TRUE(window.calls("enable").empty());
    EXPECT_EQ(window.calls().size(), 4u);  // empty and focus the captcha box, read the link twice
}

TEST_F(WindowClosed, LinkStepTouchesNothingAfterTheWait)
{
    window.type(Control::编辑框_验证码, "1234");
    Resolve_LinkStep(values, window);
    EXPECT_TRUE(window.calls("write").empty());
    EXPECT_TRUE(desktop.boxes().empty());
}

}  // namespace
}  // namespace murrel::test
