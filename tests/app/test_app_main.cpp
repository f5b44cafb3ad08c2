// App_Main offscreen: the state right after start-up, and closing the window while a step waits.
#include "app/app_main.h"

#include "textutil/process_events.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace murrel {
namespace {

MainWindow* shownMainWindow()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        if (auto* window = qobject_cast<MainWindow*>(widget); window && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

// Runs `act` with the main window once App_Main has shown it.
void onceShown(std::function<void(MainWindow&)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        MainWindow* window = shownMainWindow();
        ASSERT_NE(window, nullptr);
        act(*window);
    });
}

TEST(AppMain, StartsWithTheLinkButtonDisabledAndTheCaptchaButtonFocused)
{
    bool linkButtonEnabled = true;
    QWidget* focused = nullptr;
    QWidget* captchaButton = nullptr;
    onceShown([&](MainWindow& window) {
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        linkButtonEnabled = window.findChild<QPushButton*>(u"按钮_获取下载地址"_s)->isEnabled();
        captchaButton = window.findChild<QPushButton*>(u"按钮_获取验证码"_s);
        focused = QApplication::focusWidget();
        window.close();
    });
    EXPECT_EQ(App_Main({}), 0);
    EXPECT_FALSE(linkButtonEnabled);
    EXPECT_NE(captchaButton, nullptr);
    EXPECT_EQ(focused, captchaButton);
}

// What a step saw after the window was closed under it.
struct AfterClose
{
    bool stepReturned = false;
    bool waitEndedEarly = false;
    bool shuttingDown = false;
    Text linkBox = "unread";
    QString normalBox = u"unread"_s;
    bool linkButtonEnabled = true;
};

TEST(AppMain, ClosingTheWindowEndsAWaitingStepAndTheRun)
{
    AfterClose seen;
    MainWindow::Steps steps;
    steps.captcha = [&seen](ProgramValues& /*values*/, WindowPort& port) {
        // A request that never ends by itself, like a server that does not answer.
        WakeSignal neverDone;
        const Clock::time_point deadline = Clock::now() + std::chrono::minutes(5);
        waitForSignal(neverDone, deadline);
        seen.waitEndedEarly = Clock::now() < deadline;
        seen.shuttingDown = shuttingDown();
        // What the step does next must neither crash nor show.
        seen.linkBox = port.readText(Control::编辑框_下载地址);
        port.writeText(Control::编辑框_普通下载, "late");
        port.setEnabled(Control::按钮_获取下载地址, true);
        port.setFocus(Control::编辑框_验证码);
        port.setPicture(Control::图片框1, Bytes(std::string_view("GIF89a")));
        seen.stepReturned = true;
    };
    onceShown([&seen](MainWindow& window) {
        // Closed from the loop that the waiting step runs.
        QTimer::singleShot(0, &window, &QWidget::close);
        window.findChild<QPushButton*>(u"按钮_获取验证码"_s)->click();
        seen.normalBox = window.findChild<QLineEdit*>(u"编辑框_普通下载"_s)->text();
        seen.linkButtonEnabled = window.findChild<QPushButton*>(u"按钮_获取下载地址"_s)->isEnabled();
    });

    EXPECT_EQ(App_Main(steps), 0);
    EXPECT_TRUE(seen.stepReturned);
    EXPECT_TRUE(seen.waitEndedEarly);
    EXPECT_TRUE(seen.shuttingDown);
    EXPECT_EQ(seen.linkBox, Text());
    EXPECT_EQ(seen.normalBox, QString());
    EXPECT_FALSE(seen.linkButtonEnabled);
    EXPECT_EQ(installedEventPump(), nullptr);
}

}  // namespace
}  // namespace murrel
