// The main window as built (controls, places, fonts, texts, order, window flags), its handlers, and
// the window port that the steps work through.
#include "platform/main_window.h"

#include "platform/gbk_qstring.h"
#include "platform/picture_box.h"
#include "resolve/steps.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

using namespace Qt::StringLiterals;

namespace murrel {
namespace {

struct ExpectedFont
{
    int pixelHeight;
    bool bold;
};

struct ExpectedControl
{
    QString name;
    const char* className;
    QString parent;
    QRect place;
    QString text;
    std::optional<ExpectedFont> font;  // none: the application's default
};

QString exampleLink()
{
    return u"http://"_s + toQString(serviceHost()) + u"/file/23075823"_s;
}

// The window's description, row by row.
QList<ExpectedControl> expectedControls()
{
    return {
        {u"按钮2"_s, "QPushButton", u"分组框1"_s, {421, 64, 40, 24}, u"复制"_s, {}},
        {u"按钮1"_s, "QPushButton", u"分组框1"_s, {421, 23, 40, 24}, u"复制"_s, {}},
        {u"图片框1"_s, "murrel::PictureBox", u"MainWindow"_s, {8, 48, 144, 64}, {}, {}},
        {u"标签3"_s, "QLabel", u"分组框1"_s, {8, 64, 80, 24}, u"迅雷下载地址："_s, {}},
        {u"标签2"_s, "QLabel", u"分组框1"_s, {8, 18, 80, 24}, u"普通下载地址："_s, {}},
        {u"编辑框_迅雷下载"_s, "QLineEdit", u"分组框1"_s, {96, 62, 320, 28}, {}, {}},
        {u"编辑框_普通下载"_s, "QLineEdit", u"分组框1"_s, {96, 21, 320, 28}, {}, {}},
        {u"分组框1"_s, "QGroupBox", u"MainWindow"_s, {8, 122, 471, 102}, u"下载地址"_s, {}},
        {u"按钮_获取下载地址"_s, "QPushButton", u"MainWindow"_s, {332, 48, 147, 64}, u"获取下载地址"_s,
         ExpectedFont{16, false}},
        {u"按钮_获取验证码"_s, "QPushButton", u"MainWindow"_s, {399, 2, 80, 40}, u"获取验证码"_s, {}},
        {u"编辑框_验证码"_s, "QLineEdit", u"MainWindow"_s, {172, 48, 132, 64}, u"1234"_s, ExpectedFont{48, false}},
        {u"标签1"_s, "QLabel", u"MainWindow"_s, {8, 7, 88, 32}, u"下载地址："_s, ExpectedFont{19, true}},
        {u"编辑框_下载地址"_s, "QLineEdit", u"MainWindow"_s, {101, 4, 291, 36}, exampleLink(),
         ExpectedFont{16, false}},
    };
}

QString textOf(const QWidget* control)
{
    if (const auto* button = qobject_cast<const QPushButton*>(control)) {
        return button->text();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
        return edit->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(control)) {
        return group->title();
    }
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    return {};
}

QStringList namedChildren(const QWidget* parent)
{
    QStringList names;
    for (const QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->objectName().isEmpty()) {
            names << child->objectName();
        }
    }
    return names;
}

QByteArray encoded(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

Bytes toBytes(const QByteArray& bytes)
{
    return Bytes(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// A window whose step buttons record what they were given instead of going to the network.
class MainWindowTest : public testing::Test
{
protected:
    MainWindowTest()
        : m_window(m_values, {[this](ProgramValues& values, WindowPort& port) { record("captcha", values, port); },
                              [this](ProgramValues& values, WindowPort& port) { record("link", values, port); }})
    {
    }

    template <typename T>
    T* control(const QString& name)
    {
        T* found = m_window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    void showActive()
    {
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    void record(const char* step, ProgramValues& values, WindowPort& port)
    {
        m_ran.push_back(step);
        EXPECT_EQ(&values, &m_values);
        EXPECT_EQ(&port, static_cast<WindowPort*>(&m_window));
    }

    ProgramValues m_values;
    MainWindow m_window;
    std::vector<std::string> m_ran;
};

TEST_F(MainWindowTest, HoldsEveryControlOfTheDescription)
{
    const QList<ExpectedControl> rows = expectedControls();
    for (const ExpectedControl& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        const auto* widget = control<QWidget>(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), row.className);
        EXPECT_EQ(widget->parentWidget()->objectName(), row.parent);
        EXPECT_EQ(widget->geometry(), row.place);
        EXPECT_EQ(textOf(widget), row.text);
        EXPECT_FALSE(widget->isHidden());
        if (row.font) {
            EXPECT_EQ(widget->font().pixelSize(), row.font->pixelHeight);
            EXPECT_EQ(widget->font().weight(), row.font->bold ? QFont::Bold : QFont::Normal);
            EXPECT_FALSE(widget->font().italic() || widget->font().underline() || widget->font().strikeOut());
        } else {
            EXPECT_EQ(widget->font(), QApplication::font(widget));
        }
    }
    EXPECT_FALSE(control<PictureBox>(u"图片框1"_s)->hasPicture());
}

TEST_F(MainWindowTest, KeepsTheDescriptionsOrderAmongSiblings)
{
    QStringList inWindow;
    QStringList inGroup;
    for (const ExpectedControl& row : expectedControls()) {
        (row.parent == u"MainWindow"_s ? inWindow : inGroup) << row.name;
    }
    EXPECT_EQ(namedChildren(&m_window), inWindow);
    EXPECT_EQ(namedChildren(control<QGroupBox>(u"分组框1"_s)), inGroup);
}

TEST_F(MainWindowTest, IsAFixedCentredWindowWithOnlyACloseBox)
{
    EXPECT_EQ(m_window.objectName(), u"MainWindow"_s);
    EXPECT_TRUE(QRegularExpression(u"^Murrel无广告下载--ByQorvath[A-Za-z0-9]+$"_s).match(m_window.windowTitle()).hasMatch())
        << m_window.windowTitle().toStdString();
    EXPECT_EQ(m_window.size(), QSize(487, 228));
    EXPECT_EQ(m_window.minimumSize(), QSize(487, 228));
    EXPECT_EQ(m_window.maximumSize(), QSize(487, 228));
    const Qt::WindowFlags flags = m_window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    const QPoint offCentre =
        m_window.geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 1);
}

TEST_F(MainWindowTest, StartsWithTheLinkButtonDisabledAndTheCaptchaButtonFocused)
{
    showActive();
    EXPECT_FALSE(control<QPushButton>(u"按钮_获取下载地址"_s)->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), control<QPushButton>(u"按钮_获取验证码"_s));
}

TEST_F(MainWindowTest, OnlyALeftPressEmptiesTheLinkBoxAndThePressStillPlacesTheCaret)
{
    struct Case
    {
        Qt::MouseButton button;
        Qt::KeyboardModifiers keys;
        bool empties;
    };
    const Case cases[] = {
        {Qt::LeftButton, Qt::NoModifier, true},
        {Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, true},
        {Qt::RightButton, Qt::NoModifier, false},
    };
    showActive();
    auto* linkBox = control<QLineEdit>(u"编辑框_下载地址"_s);
    for (const Case& c : cases) {
        control<QPushButton>(u"按钮_获取验证码"_s)->setFocus();
        linkBox->setText(u"http://example.test/file/1"_s);
        QTest::mousePress(linkBox, c.button, c.keys, QPoint(40, 18));
        EXPECT_EQ(linkBox->text().isEmpty(), c.empties) << "button " << c.button;
        QTest::mouseRelease(linkBox, c.button, c.keys, QPoint(40, 18));
        if (c.empties) {
            EXPECT_TRUE(linkBox->hasFocus());
            EXPECT_EQ(linkBox->cursorPosition(), 0);
        }
    }
}

TEST_F(MainWindowTest, CopyButtonsPutTheirBoxOnTheClipboardAsItStands)
{
    struct Case
    {
        QString button;
        QString box;
        QString text;
    };
    const Case cases[] = {
        {u"按钮1"_s, u"编辑框_普通下载"_s, u"http://dl.example.test/a b.zip"_s},
        {u"按钮2"_s, u"编辑框_迅雷下载"_s, u"thunder://QUFodHRwOi8v"_s},
        {u"按钮1"_s, u"编辑框_普通下载"_s, {}},
        {u"按钮2"_s, u"编辑框_迅雷下载"_s, {}},
    };
    for (const Case& c : cases) {
        QGuiApplication::clipboard()->setText(u"before"_s);
        control<QLineEdit>(c.box)->setText(c.text);
        QTest::mouseClick(control<QPushButton>(c.button), Qt::LeftButton);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), c.text) << c.button.toStdString();
    }
}

TEST_F(MainWindowTest, StepButtonsRunTheStepsWithTheValuesAndTheWindow)
{
    QTest::mouseClick(control<QPushButton>(u"按钮_获取验证码"_s), Qt::LeftButton);
    control<QPushButton>(u"按钮_获取下载地址"_s)->setEnabled(true);
    QTest::mouseClick(control<QPushButton>(u"按钮_获取下载地址"_s), Qt::LeftButton);
    EXPECT_EQ(m_ran, (std::vector<std::string>{"captcha", "link"}));
}

TEST_F(MainWindowTest, PortReadsAndWritesTheBoxesInGbk)
{
    WindowPort& port = m_window;
    const Text gbk("\xCF\xC2\xD4\xD8 ok");  // "下载 ok"
    port.writeText(Control::编辑框_普通下载, gbk);
    EXPECT_EQ(control<QLineEdit>(u"编辑框_普通下载"_s)->text(), u"下载 ok"_s);
    EXPECT_EQ(port.readText(Control::编辑框_普通下载), gbk);
    // Shown from its start, as a long link should be.
    EXPECT_EQ(control<QLineEdit>(u"编辑框_普通下载"_s)->cursorPosition(), 0);
    EXPECT_EQ(port.readText(Control::编辑框_验证码), Text("1234"));
    port.writeText(Control::编辑框_验证码, Text());
    EXPECT_EQ(control<QLineEdit>(u"编辑框_验证码"_s)->text(), QString());
    // Not a box: nothing to read, nothing written.
    EXPECT_EQ(port.readText(Control::按钮_获取验证码), Text());
    port.writeText(Control::按钮_获取验证码, "x");
    EXPECT_EQ(control<QPushButton>(u"按钮_获取验证码"_s)->text(), u"获取验证码"_s);
}

TEST_F(MainWindowTest, PortEnablesAndFocuses)
{
    showActive();
    WindowPort& port = m_window;
    port.setEnabled(Control::按钮_获取下载地址, true);
    EXPECT_TRUE(control<QPushButton>(u"按钮_获取下载地址"_s)->isEnabled());
    port.setFocus(Control::编辑框_验证码);
    EXPECT_EQ(QApplication::focusWidget(), control<QLineEdit>(u"编辑框_验证码"_s));
}

TEST_F(MainWindowTest, PictureIsEnlargedByAWholeFactorWithoutSmoothing)
{
    struct Case
    {
        QSize picture;
        QSize shown;
    };
    const Case cases[] = {
        {{40, 20}, {120, 60}},   // factor 3
        {{60, 22}, {120, 44}},   // factor 2: the width allows no more
        {{144, 64}, {144, 64}},  // fits as it is
        {{300, 100}, {144, 48}}, // larger than the box: shrunk to fit
    };
    WindowPort& port = m_window;
    auto* box = control<PictureBox>(u"图片框1"_s);
    for (const Case& c : cases) {
        // A checkerboard of two colours: smoothing would bring in colours between them.
        QImage image(c.picture, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                image.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
            }
        }
        port.setPicture(Control::图片框1, toBytes(encoded(image)));
        const QImage shown = box->pixmap().toImage();
        EXPECT_EQ(shown.size(), c.shown);
        bool onlyTwoColours = true;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb pixel = shown.pixel(x, y) & 0xFFFFFF;
                onlyTwoColours = onlyTwoColours && (pixel == 0 || pixel == 0xFFFFFF);
            }
        }
        EXPECT_TRUE(onlyTwoColours);
    }
    EXPECT_EQ(box->alignment(), Qt::AlignCenter);
}

TEST_F(MainWindowTest, PictureBoxShowsAGifAndShowsNothingForEmptyOrBrokenBytes)
{
    // A 1 x 1 GIF, as the captcha step passes its pictures.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");
    WindowPort& port = m_window;
    auto* box = control<PictureBox>(u"图片框1"_s);
    port.setPicture(Control::图片框1, toBytes(gif));
    ASSERT_TRUE(box->hasPicture());
    EXPECT_EQ(box->pixmap().size(), QSize(64, 64));
    port.setPicture(Control::图片框1, Bytes());
    EXPECT_FALSE(box->hasPicture());
    port.setPicture(Control::图片框1, toBytes(gif));
    port.setPicture(Control::图片框1, Bytes(std::string_view("GIF89a not really")));
    EXPECT_FALSE(box->hasPicture());
}

TEST_F(MainWindowTest, ClosedWindowIgnoresThePort)
{
    showActive();
    m_window.close();
    EXPECT_TRUE(m_window.isClosing());
    WindowPort& port = m_window;
    EXPECT_EQ(port.readText(Control::编辑框_验证码), Text());
    port.writeText(Control::编辑框_验证码, "late");
    port.setEnabled(Control::按钮_获取下载地址, true);
    port.setPicture(Control::图片框1, toBytes(encoded(QImage(8, 8, QImage::Format_RGB32))));
    EXPECT_EQ(control<QLineEdit>(u"编辑框_验证码"_s)->text(), u"1234"_s);
    EXPECT_FALSE(control<QPushButton>(u"按钮_获取下载地址"_s)->isEnabled());
    EXPECT_FALSE(control<PictureBox>(u"图片框1"_s)->hasPicture());
}

}  // namespace
}  // namespace murrel
