// A download from paste to copy, through the real main window (offscreen) against the stand-in
// service: the captcha picture, the typed code, both links, the clipboard, and the wrong-captcha
// message; and the session cookie of the captcha step carrying the link step.
#include "platform/main_window.h"
#include "platform/picture_box.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_window_system.h"
#include "tests/support/standin_service.h"
#include "web/web_init.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace murrel::test {
namespace {

struct ShownMessage
{
    QString text;
    QString caption;
};

// Answers, with its first button, every message box that comes up while it exists, and keeps what
// they said.
class MessageBoxCloser
{
public:
    MessageBoxCloser()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_shown.push_back({box->text(), box->windowTitle()});
                const QList<QAbstractButton*> buttons = box->buttons();
                if (!buttons.isEmpty()) {
                    buttons.first()->click();
                } else {
                    box->reject();
                }
            }
        });
        m_timer.start(20);
    }

    [[nodiscard]] const std::vector<ShownMessage>& shown() const { return m_shown; }

private:
    QTimer m_timer;
    std::vector<ShownMessage> m_shown;
};

class EndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::optional<std::uint16_t> port = StandInService::programPort();
        if (!port) {
            GTEST_SKIP() << "the program is not built for the stand-in: configure with "
                            "-DMURREL_SERVICE_HOST=127.0.0.1:<port>";
        }
        m_service = std::make_unique<StandInService>(*port);
        installWindowSystem(&m_windowSystem);
        installEventPump(&m_pump);
        m_window = std::make_unique<MainWindow>(m_values);
        m_window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void TearDown() override
    {
        m_window.reset();
        installEventPump(nullptr);
        installWindowSystem(nullptr);
        m_service.reset();
    }

    template <typename Control>
    Control* control(const QString& name)
    {
        auto* found = m_window->findChild<Control*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QLineEdit* box(const QString& name) { return control<QLineEdit>(name); }
    void press(const QString& button) { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }

    // Pastes the share link into the link box over the example, as a user would.
    void pasteShareLink(const std::string& fileId)
    {
        QApplication::clipboard()->setText(QString::fromStdString(service().shareLink(fileId)));
        QLineEdit* link = box(u"编辑框_下载地址"_s);
        link->setFocus();
        link->selectAll();
        link->paste();
    }

    void typeCaptcha(const std::string& code)
    {
        QLineEdit* captcha = box(u"编辑框_验证码"_s);
        captcha->setFocus();
        QTest::keyClicks(captcha, QString::fromStdString(code));
    }

    // Runs a whole successful download, so that both boxes hold links.
    void downloadLinksOf(const std::string& fileId)
    {
        pasteShareLink(fileId);
        press(u"按钮_获取验证码"_s);
        typeCaptcha(service().lastCaptchaCode());
        press(u"按钮_获取下载地址"_s);
    }

    StandInService& service() { return *m_service; }

    QtWindowSystem m_windowSystem;
    QtEventPump m_pump;
    ProgramValues m_values;
    std::unique_ptr<StandInService> m_service;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(EndToEnd, FromPasteToClipboard)
{
    pasteShareLink("23075823");
    EXPECT_EQ(box(u"编辑框_下载地址"_s)->text().toStdString(), service().shareLink("23075823"));

    press(u"按钮_获取验证码"_s);
    EXPECT_TRUE(control<PictureBox>(u"图片框1"_s)->hasPicture());
    EXPECT_TRUE(control<QPushButton>(u"按钮_获取下载地址"_s)->isEnabled());
    EXPECT_TRUE(box(u"编辑框_验证码"_s)->text().isEmpty());
    EXPECT_TRUE(box(u"编辑框_验证码"_s)->hasFocus());
    const std::string code = service().lastCaptchaCode();
    ASSERT_EQ(code.size(), 4u);

    typeCaptcha(code);
    MessageBoxCloser closer;
    press(u"按钮_获取下载地址"_s);
    EXPECT_TRUE(closer.shown().empty());

    const QString normal = QString::fromStdString(service().normalLinkFor("23075823"));
    const QString thunder = QString::fromStdString(service().thunderLinkFor("23075823"));
    EXPECT_EQ(box(u"编辑框_普通下载"_s)->text(), normal);
    EXPECT_EQ(box(u"编辑框_迅雷下载"_s)->text(), thunder);

    press(u"按钮1"_s);
    EXPECT_EQ(QApplication::clipboard()->text(), normal);
    press(u"按钮2"_s);
    EXPECT_EQ(QApplication::clipboard()->text(), thunder);
}

TEST_F(EndToEnd, SessionCookieOfTheCaptchaStepCarriesTheLinkStep)
{
    downloadLinksOf("23075823");
    const std::string session = service().lastSession();
    ASSERT_FALSE(session.empty());
    int posts = 0;
    for (const RecordedRequest& request : service().server().requests()) {
        if (request.path == "/randcodeV2_downurl.php" || request.path == "/guest_loginV2.php") {
            EXPECT_EQ(request.cookie(StandInService::kSessionCookie), session) << request.requestLine;
            posts += request.method == "POST" ? 1 : 0;
        }
    }
    EXPECT_EQ(posts, 1);

    // The same form once the session is gone is refused.
    service().forgetSessions();
    MessageBoxCloser closer;
    press(u"按钮_获取下载地址"_s);
    ASSERT_EQ(closer.shown().size(), 1u);
    EXPECT_EQ(closer.shown()[0].text, u"验证码输入有误，请重新输入！"_s);
    EXPECT_TRUE(box(u"编辑框_普通下载"_s)->text().isEmpty());
    EXPECT_TRUE(box(u"编辑框_迅雷下载"_s)->text().isEmpty());
}

TEST_F(EndToEnd, WrongCaptchaShowsTheMessageAndEmptiesBothBoxes)
{
    downloadLinksOf("23075823");
    ASSERT_FALSE(box(u"编辑框_普通下载"_s)->text().isEmpty());

    press(u"按钮_获取验证码"_s);
    const std::string code = service().lastCaptchaCode();
    typeCaptcha(code == "0000" ? "1111" : "0000");
    MessageBoxCloser closer;
    press(u"按钮_获取下载地址"_s);

    ASSERT_EQ(closer.shown().size(), 1u);
    EXPECT_EQ(closer.shown()[0].text, u"验证码输入有误，请重新输入！"_s);
    EXPECT_EQ(closer.shown()[0].caption, u"信息："_s);
    EXPECT_TRUE(box(u"编辑框_普通下载"_s)->text().isEmpty());
    EXPECT_TRUE(box(u"编辑框_迅雷下载"_s)->text().isEmpty());
}

// libcurl is set up before any thread starts, and every worker has ended before the program exits.
class WebEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { Web_Init(); }
    void TearDown() override { EXPECT_TRUE(Web_Shutdown()); }
};

}  // namespace
}  // namespace murrel::test

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testing::AddGlobalTestEnvironment(new murrel::test::WebEnvironment);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
