// Window enumeration and message boxes on Qt, with the Win32 style bits and button ids that the
// rest of the program speaks.
#include "platform/qt_window_system.h"

#include "msgbox/msg_box.h"
#include "platform/gbk_qstring.h"
#include "textutil/process_events.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <QWindow>

#include <unistd.h>

namespace murrel {
namespace {

constexpr std::uint32_t kMbTypeMask = 0x0F;
constexpr std::uint32_t kMbIconMask = 0xF0;

struct BoxButton
{
    QMessageBox::StandardButton button;
    int id;
};

// The button groups of MB_OK (0) to MB_RETRYCANCEL (5), in the order they stand in the box.
QList<BoxButton> buttonsFor(std::uint32_t style)
{
    switch (style & kMbTypeMask) {
    case 1:
        return {{QMessageBox::Ok, kIdOk}, {QMessageBox::Cancel, kIdCancel}};
    case 2:
        return {{QMessageBox::Abort, kIdAbort}, {QMessageBox::Retry, kIdRetry}, {QMessageBox::Ignore, kIdIgnore}};
    case 3:
        return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}, {QMessageBox::Cancel, kIdCancel}};
    case 4:
        return {{QMessageBox::Yes, kIdYes}, {QMessageBox::No, kIdNo}};
    case 5:
        return {{QMessageBox::Retry, kIdRetry}, {QMessageBox::Cancel, kIdCancel}};
    default:
        return {{QMessageBox::Ok, kIdOk}};
    }
}

QMessageBox::Icon iconFor(std::uint32_t style)
{
    switch (style & kMbIconMask) {
    case 0x10:
        return QMessageBox::Critical;
    case 0x20:
        return QMessageBox::Question;
    case 0x30:
        return QMessageBox::Warning;
    case 0x40:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Handles come from outside and may be stale: only a window that still exists is ever touched.
QWindow* windowOf(WindowHandle handle)
{
    if (handle == 0) {
        return nullptr;
    }
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (QWindow* window : windows) {
        if (QtWindowSystem::handleOf(window) == handle) {
            return window;
        }
    }
    return nullptr;
}

QWidget* widgetOf(const QWindow* window)
{
    if (!window) {
        return nullptr;
    }
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        if (widget->windowHandle() == window) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace

QtWindowSystem::QtWindowSystem()
    : m_uiThreadId(static_cast<std::uint32_t>(::gettid()))
{
}

WindowHandle QtWindowSystem::handleOf(const QWindow* window)
{
    return reinterpret_cast<WindowHandle>(window);
}

std::vector<WindowHandle> QtWindowSystem::topLevelWindows()
{
    std::vector<WindowHandle> handles;
    const QWindowList windows = QGuiApplication::topLevelWindows();
    for (const QWindow* window : windows) {
        handles.push_back(handleOf(window));
    }
    return handles;
}

bool QtWindowSystem::isVisible(WindowHandle window)
{
    const QWindow* found = windowOf(window);
    return found && found->isVisible();
}

std::uint32_t QtWindowSystem::processIdOf(WindowHandle window)
{
    return windowOf(window) ? currentProcessId() : 0;
}

std::uint32_t QtWindowSystem::threadIdOf(WindowHandle window)
{
    return windowOf(window) ? m_uiThreadId : 0;
}

Text QtWindowSystem::titleOf(WindowHandle window)
{
    const QWindow* found = windowOf(window);
    return found ? toGbkText(found->title()) : Text();
}

Text QtWindowSystem::classNameOf(WindowHandle window)
{
    const QWindow* found = windowOf(window);
    if (!found) {
        return Text();
    }
    const QWidget* widget = widgetOf(found);
    return Text(widget ? widget->metaObject()->className() : found->metaObject()->className());
}

int QtWindowSystem::messageBox(WindowHandle owner, const Text& message, const Text& caption, std::uint32_t style)
{
    // The loop of a modal box could not run any more, and nobody would see it.
    if (shuttingDown()) {
        return 0;
    }
    QMessageBox box(iconFor(style), toQString(caption), toQString(message), QMessageBox::NoButton,
                    widgetOf(windowOf(owner)));
    // The message may quote what a server sent: never read it as markup.
    box.setTextFormat(Qt::PlainText);
    // Task-modal or owned, the box blocks the program's other windows until it is answered.
    box.setWindowModality(Qt::ApplicationModal);
    const QList<BoxButton> buttons = buttonsFor(style);
    for (const BoxButton& button : buttons) {
        box.addButton(button.button);
    }
    box.exec();
    QAbstractButton* pressed = box.clickedButton();
    if (!pressed) {
        return 0;
    }
    const QMessageBox::StandardButton which = box.standardButton(pressed);
    for (const BoxButton& button : buttons) {
        if (button.button == which) {
            return button.id;
        }
    }
    return 0;
}

}  // namespace murrel
