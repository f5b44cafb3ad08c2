// The Qt window system behind Msg_Box: window enumeration and message boxes with their Win32 style
// bits and button ids, each box answered from a timer as a user would.
#include "platform/qt_window_system.h"

#include "msgbox/msg_box.h"
#include "platform/gbk_qstring.h"
#include "platform/qt_event_pump.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace murrel {
namespace {

// What the box looked like when the timer found it.
struct SeenBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString caption;
    QString text;
    QList<QMessageBox::StandardButton> buttons;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::TextFormat format = Qt::AutoText;
    const QWidget* owner = nullptr;
};

class QtWindowSystemTest : public testing::Test
{
protected:
    QtWindowSystemTest() { installWindowSystem(&m_system); }
    ~QtWindowSystemTest() override { installWindowSystem(nullptr); }

    // Answers the next message box by pressing `button` (or Escape when none is given).
    void answerWith(std::optional<QMessageBox::StandardButton> button)
    {
        QTimer::singleShot(0, [this, button] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            m_seen.icon = box->icon();
            m_seen.caption = box->windowTitle();
            m_seen.text = box->text();
            m_seen.modality = box->windowModality();
            m_seen.format = box->textFormat();
            m_seen.owner = box->parentWidget();
            m_seen.buttons.clear();
            for (QAbstractButton* shown : box->buttons()) {
                m_seen.buttons.push_back(box->standardButton(shown));
            }
            if (button) {
                box->button(*button)->click();
            } else {
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
    }

    static WindowHandle handleOf(const QWidget& widget) { return QtWindowSystem::handleOf(widget.windowHandle()); }

    QtWindowSystem m_system;
    SeenBox m_seen;
};

TEST_F(QtWindowSystemTest, ReturnsTheWin32IdOfThePressedButton)
{
    using B = QMessageBox;
    struct Case
    {
        std::uint32_t style;
        B::StandardButton press;
        QList<B::StandardButton> shown;
        int id;
    };
    const Case cases[] = {
        {0x00, B::Ok, {B::Ok}, 1},
        {0x01, B::Ok, {B::Ok, B::Cancel}, 1},
        {0x01, B::Cancel, {B::Ok, B::Cancel}, 2},
        {0x02, B::Abort, {B::Abort, B::Retry, B::Ignore}, 3},
        {0x02, B::Retry, {B::Abort, B::Retry, B::Ignore}, 4},
        {0x02, B::Ignore, {B::Abort, B::Retry, B::Ignore}, 5},
        {0x03, B::Yes, {B::Yes, B::No, B::Cancel}, 6},
        {0x03, B::No, {B::Yes, B::No, B::Cancel}, 7},
        {0x03, B::Cancel, {B::Yes, B::No, B::Cancel}, 2},
        {0x04, B::Yes, {B::Yes, B::No}, 6},
        {0x04, B::No, {B::Yes, B::No}, 7},
        {0x05, B::Retry, {B::Retry, B::Cancel}, 4},
    };
    for (const Case& c : cases) {
        answerWith(c.press);
        EXPECT_EQ(m_system.messageBox(0, "m", "c", c.style), c.id) << "style " << c.style;
        QList<B::StandardButton> shown = m_seen.buttons;
        std::sort(shown.begin(), shown.end());
        QList<B::StandardButton> expected = c.shown;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(shown, expected) << "style " << c.style;
    }
}

TEST_F(QtWindowSystemTest, ShowsTheIconOfTheStyle)
{
    struct Case
    {
        std::uint32_t style;
        QMessageBox::Icon icon;
    };
    const Case cases[] = {{0x00, QMessageBox::NoIcon},   {0x10, QMessageBox::Critical},
                          {0x20, QMessageBox::Question}, {0x30, QMessageBox::Warning},
                          {0x40, QMessageBox::Information}, {0x2000, QMessageBox::NoIcon}};
    for (const Case& c : cases) {
        answerWith(QMessageBox::Ok);
        m_system.messageBox(0, "m", "c", c.style);
        EXPECT_EQ(m_seen.icon, c.icon) << "style " << c.style;
        EXPECT_EQ(m_seen.modality, Qt::ApplicationModal);
    }
}

TEST_F(QtWindowSystemTest, EscapeOnAnOkBoxCountsAsOk)
{
    answerWith(std::nullopt);
    EXPECT_EQ(m_system.messageBox(0, "m", "c", 0), 1);
    answerWith(std::nullopt);
    EXPECT_EQ(m_system.messageBox(0, "m", "c", 0x01), 2);
}

TEST_F(QtWindowSystemTest, MsgBoxDefaultsShowTheInformationBoxOwnedByTheVisibleWindow)
{
    QWidget hidden;
    hidden.winId();  // a created but never shown window of the process
    QWidget shown;
    shown.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&shown));

    answerWith(QMessageBox::Ok);
    const Text message("\xD6\xD0\xCE\xC4 <b>x</b>");  // "中文 <b>x</b>" in GBK
    EXPECT_EQ(Msg_Box(message), 0);
    EXPECT_EQ(m_seen.caption, u"友情提醒"_s);
    EXPECT_EQ(m_seen.text, u"中文 <b>x</b>"_s);
    EXPECT_EQ(m_seen.format, Qt::PlainText);
    EXPECT_EQ(m_seen.icon, QMessageBox::Information);
    EXPECT_EQ(m_seen.buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    EXPECT_EQ(m_seen.owner, &shown);
    EXPECT_EQ(Window_OfProcess(currentProcessId()), handleOf(shown));
}

TEST_F(QtWindowSystemTest, NoBoxOnceTheProgramIsShuttingDown)
{
    QtEventPump pump;
    pump.beginShutdown();
    installEventPump(&pump);
    EXPECT_EQ(Msg_Box("m"), -1);
    installEventPump(nullptr);
}

TEST_F(QtWindowSystemTest, DescribesTheProgramsWindows)
{
    QWidget window;
    window.setWindowTitle(u"标题"_s);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const WindowHandle handle = handleOf(window);

    const std::vector<WindowHandle> all = m_system.topLevelWindows();
    EXPECT_NE(std::find(all.begin(), all.end(), handle), all.end());
    EXPECT_TRUE(m_system.isVisible(handle));
    EXPECT_EQ(m_system.processIdOf(handle), static_cast<std::uint32_t>(::getpid()));
    EXPECT_EQ(m_system.threadIdOf(handle), static_cast<std::uint32_t>(::gettid()));
    EXPECT_EQ(m_system.titleOf(handle), Text("\xB1\xEA\xCC\xE2"));
    EXPECT_EQ(m_system.classNameOf(handle), Text("QWidget"));

    window.hide();
    EXPECT_FALSE(m_system.isVisible(handle));
}

TEST_F(QtWindowSystemTest, AnUnknownHandleIsNeverTouched)
{
    const WindowHandle stale = 0x1234;
    EXPECT_FALSE(m_system.isVisible(stale));
    EXPECT_EQ(m_system.processIdOf(stale), 0u);
    EXPECT_EQ(m_system.threadIdOf(stale), 0u);
    EXPECT_EQ(m_system.titleOf(stale), Text());
    EXPECT_EQ(m_system.classNameOf(stale), Text());
    answerWith(QMessageBox::Ok);
    EXPECT_EQ(m_system.messageBox(stale, "m", "c", 0), 1);
    EXPECT_EQ(m_seen.owner, nullptr);
}

}  // namespace
}  // namespace murrel
