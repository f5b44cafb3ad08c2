// The main window: its controls as the window's description lists them, and their handlers.
#include "platform/main_window.h"

#include "platform/gbk_qstring.h"
#include "platform/picture_box.h"
#include "resolve/random_number.h"
#include "resolve/steps.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

#include <optional>

using namespace Qt::StringLiterals;

namespace murrel {
namespace {

enum class Kind
{
    Button,
    PictureBox,
    Label,
    EditBox,
    GroupBox,
};

struct FontSpec
{
    int pixelHeight;
    bool bold;
};

struct ControlRow
{
    QString name;
    Kind kind;
    bool inGroupBox;
    QRect place;
    QString text;
    std::optional<FontSpec> font;
};

// The program's name and, directly after it, the author's contact.
QString windowTitleText()
{
    return u"Murrel无广告下载--ByQorvath"_s + u"QQ10086100"_s;
}

constexpr QSize kClientSize(487, 228);

QString exampleShareLink()
{
    return u"http://"_s + toQString(serviceHost()) + u"/file/23075823"_s;
}

// The controls in the order the window's description stores them.
QList<ControlRow> controlTable()
{
    const FontSpec normal16{16, false};
    const FontSpec normal48{48, false};
    const FontSpec bold19{19, true};
    return {
        {u"按钮2"_s, Kind::Button, true, {421, 64, 40, 24}, u"复制"_s, {}},
        {u"按钮1"_s, Kind::Button, true, {421, 23, 40, 24}, u"复制"_s, {}},
        {u"图片框1"_s, Kind::PictureBox, false, {8, 48, 144, 64}, {}, {}},
        {u"标签3"_s, Kind::Label, true, {8, 64, 80, 24}, u"迅雷下载地址："_s, {}},
        {u"标签2"_s, Kind::Label, true, {8, 18, 80, 24}, u"普通下载地址："_s, {}},
        {u"编辑框_迅雷下载"_s, Kind::EditBox, true, {96, 62, 320, 28}, {}, {}},
        {u"编辑框_普通下载"_s, Kind::EditBox, true, {96, 21, 320, 28}, {}, {}},
        {u"分组框1"_s, Kind::GroupBox, false, {8, 122, 471, 102}, u"下载地址"_s, {}},
        {u"按钮_获取下载地址"_s, Kind::Button, false, {332, 48, 147, 64}, u"获取下载地址"_s, normal16},
        {u"按钮_获取验证码"_s, Kind::Button, false, {399, 2, 80, 40}, u"获取验证码"_s, {}},
        {u"编辑框_验证码"_s, Kind::EditBox, false, {172, 48, 132, 64}, u"1234"_s, normal48},
        {u"标签1"_s, Kind::Label, false, {8, 7, 88, 32}, u"下载地址："_s, bold19},
        {u"编辑框_下载地址"_s, Kind::EditBox, false, {101, 4, 291, 36}, exampleShareLink(), normal16},
    };
}

QFont fontOf(const FontSpec& spec)
{
    QFont font = QApplication::font();
    font.setPixelSize(spec.pixelHeight);
    font.setWeight(spec.bold ? QFont::Bold : QFont::Normal);
    return font;
}

}  // namespace

MainWindow::Steps MainWindow::resolveSteps()
{
    return {Resolve_CaptchaStep, Resolve_LinkStep};
}

MainWindow::MainWindow(ProgramValues& values, Steps steps, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , m_values(values)
    , m_steps(std::move(steps))
{
    setObjectName(u"MainWindow"_s);
    setWindowTitle(windowTitleText());
    setFixedSize(kClientSize);
    createControls();
    centreOnScreen();
    Main_OnCreated();
}

void MainWindow::createControls()
{
    const QList<ControlRow> rows = controlTable();
    for (const ControlRow& row : rows) {
        QWidget* parent = row.inGroupBox ? static_cast<QWidget*>(groupBox()) : this;
        QWidget* control = nullptr;
        switch (row.kind) {
        case Kind::Button:
            control = new QPushButton(row.text, parent);
            break;
        case Kind::PictureBox:
            control = new PictureBox(parent);
            break;
        case Kind::Label:
            control = new QLabel(row.text, parent);
            break;
        case Kind::EditBox: {
            auto* edit = new QLineEdit(row.text, parent);
            edit->setCursorPosition(0);
            control = edit;
            break;
        }
        case Kind::GroupBox:
            groupBox()->setTitle(row.text);
            control = groupBox();
            break;
        }
        control->setObjectName(row.name);
        control->setGeometry(row.place);
        if (row.font) {
            control->setFont(fontOf(*row.font));
        }
        // Puts the control last among its siblings, so that child order and stacking follow the
        // table also for the group box, which its children needed before its own row.
        control->raise();
    }

    m_按钮2 = findChild<QPushButton*>(u"按钮2"_s);
    m_按钮1 = findChild<QPushButton*>(u"按钮1"_s);
    m_图片框1 = findChild<PictureBox*>(u"图片框1"_s);
    m_编辑框_迅雷下载 = findChild<QLineEdit*>(u"编辑框_迅雷下载"_s);
    m_编辑框_普通下载 = findChild<QLineEdit*>(u"编辑框_普通下载"_s);
    m_按钮_获取下载地址 = findChild<QPushButton*>(u"按钮_获取下载地址"_s);
    m_按钮_获取验证码 = findChild<QPushButton*>(u"按钮_获取验证码"_s);
    m_编辑框_验证码 = findChild<QLineEdit*>(u"编辑框_验证码"_s);
    m_编辑框_下载地址 = findChild<QLineEdit*>(u"编辑框_下载地址"_s);

    // Tab order in reading order: link, its button, captcha, its button, then each result and its copy.
    setTabOrder(m_编辑框_下载地址, m_按钮_获取验证码);
    setTabOrder(m_按钮_获取验证码, m_编辑框_验证码);
    setTabOrder(m_编辑框_验证码, m_按钮_获取下载地址);
    setTabOrder(m_按钮_获取下载地址, m_编辑框_普通下载);
    setTabOrder(m_编辑框_普通下载, m_按钮1);
    setTabOrder(m_按钮1, m_编辑框_迅雷下载);
    setTabOrder(m_编辑框_迅雷下载, m_按钮2);

    m_编辑框_下载地址->installEventFilter(this);
    connect(m_按钮1, &QPushButton::clicked, this, &MainWindow::Main_OnCopyNormal);
    connect(m_按钮2, &QPushButton::clicked, this, &MainWindow::Main_OnCopyThunder);
    connect(m_按钮_获取验证码, &QPushButton::clicked, this, &MainWindow::runCaptchaStep);
    connect(m_按钮_获取下载地址, &QPushButton::clicked, this, &MainWindow::runLinkStep);
}

QGroupBox* MainWindow::groupBox()
{
    if (!m_分组框1) {
        m_分组框1 = new QGroupBox(this);
    }
    return m_分组框1;
}

void MainWindow::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed(QPoint(), size());
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
}

Text MainWindow::readText(Control box)
{
    const QLineEdit* edit = editBoxOf(box);
    return edit && !m_closing ? toGbkText(edit->text()) : Text();
}

void MainWindow::writeText(Control box, const Text& text)
{
    if (QLineEdit* edit = editBoxOf(box); edit && !m_closing) {
        edit->setText(toQString(text));
        // A long link shows from its start, not scrolled to its end.
        edit->setCursorPosition(0);
    }
}

void MainWindow::setEnabled(Control button, bool enabled)
{
    if (QWidget* control = controlOf(button); control && !m_closing) {
        control->setEnabled(enabled);
    }
}

void MainWindow::setFocus(Control control)
{
    if (QWidget* widget = controlOf(control); widget && !m_closing) {
        widget->setFocus(Qt::OtherFocusReason);
    }
}

void MainWindow::setPicture(Control pictureBox, const Bytes& encodedImage)
{
    if (pictureBox == Control::图片框1 && m_图片框1 && !m_closing) {
        const auto size = static_cast<qsizetype>(encodedImage.size());
        m_图片框1->setPicture(QByteArray(reinterpret_cast<const char*>(encodedImage.data()), size));
    }
}

QWidget* MainWindow::controlOf(Control control) const
{
    switch (control) {
    case Control::编辑框_下载地址:
        return m_编辑框_下载地址;
    case Control::按钮_获取验证码:
        return m_按钮_获取验证码;
    case Control::图片框1:
        return m_图片框1;
    case Control::编辑框_验证码:
        return m_编辑框_验证码;
    case Control::按钮_获取下载地址:
        return m_按钮_获取下载地址;
    case Control::编辑框_普通下载:
        return m_编辑框_普通下载;
    case Control::编辑框_迅雷下载:
        return m_编辑框_迅雷下载;
    }
    return nullptr;
}

QLineEdit* MainWindow::editBoxOf(Control box) const
{
    return qobject_cast<QLineEdit*>(controlOf(box));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_编辑框_下载地址 && event->type() == QEvent::MouseButtonPress) {
        const auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton) {
            const QPoint at = press->position().toPoint();
            Main_OnLinkBoxLeftDown(at.x(), at.y(), press->modifiers());
        }
    }
    // The press goes on to the box, which takes the focus and places the caret.
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    m_closing = true;
    emit closing();
    QWidget::closeEvent(event);
}

void MainWindow::Main_OnCreated()
{
    m_按钮_获取下载地址->setEnabled(false);
    m_按钮_获取验证码->setFocus(Qt::OtherFocusReason);
    Random_Seed();
}

void MainWindow::Main_OnLinkBoxLeftDown(int /*x*/, int /*y*/, Qt::KeyboardModifiers /*keys*/)
{
    m_编辑框_下载地址->clear();
}

void MainWindow::Main_OnCopyNormal()
{
    QGuiApplication::clipboard()->setText(m_编辑框_普通下载->text());
}

void MainWindow::Main_OnCopyThunder()
{
    QGuiApplication::clipboard()->setText(m_编辑框_迅雷下载->text());
}

void MainWindow::runCaptchaStep()
{
    if (m_steps.captcha) {
        m_steps.captcha(m_values, *this);
    }
}

void MainWindow::runLinkStep()
{
    if (m_steps.link) {
        m_steps.link(m_values, *this);
    }
}

}  // namespace murrel
