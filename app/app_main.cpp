// Start-up in its fixed order, the event loop, and release at the end.
#include "app/app_main.h"

#include "platform/qt_event_pump.h"
#include "platform/qt_window_system.h"

#include <QApplication>

namespace murrel {
namespace {

// The window layer's hooks for the message box and for waits, installed for exactly one run.
class InstalledWindowLayer
{
public:
    InstalledWindowLayer()
    {
        installWindowSystem(&m_windowSystem);
        installEventPump(&m_pump);
    }
    ~InstalledWindowLayer()
    {
        installEventPump(nullptr);
        installWindowSystem(nullptr);
    }
    InstalledWindowLayer(const InstalledWindowLayer&) = delete;
    InstalledWindowLayer& operator=(const InstalledWindowLayer&) = delete;

    QtEventPump& pump() { return m_pump; }

private:
    QtWindowSystem m_windowSystem;
    QtEventPump m_pump;
};

}  // namespace

int App_Main(MainWindow::Steps steps)
{
    InstalledWindowLayer windowLayer;

    // App_InitGlobals. Should the run end early, the values release themselves when they go.
    ProgramValues values;

    // Building the window delivers its created event (Main_OnCreated).
    MainWindow window(values, std::move(steps));
    // A step still waiting in a request when the window closes gives up, so the loop can end.
    QObject::connect(&window, &MainWindow::closing, [&windowLayer] { windowLayer.pump().beginShutdown(); });
    window.show();
    // Without a window manager nobody else hands the new window the keyboard.
    window.activateWindow();

    QApplication::exec();

    // App_ReleaseGlobals, once, in the fixed order.
    values.release();
    return 0;
}

}  // namespace murrel
