// The Qt window layer as the window system that the message box and window enumeration see.
#pragma once

#include "msgbox/window_system.h"

class QWindow;

namespace murrel {

class QtWindowSystem : public WindowSystem
{
public:
    // To be made on the UI thread, whose id the windows then report.
    QtWindowSystem();

    // The application's top-level windows, newest first, as Qt lists them.
    std::vector<WindowHandle> topLevelWindows() override;
    bool isVisible(WindowHandle window) override;
    std::uint32_t processIdOf(WindowHandle window) override;
    std::uint32_t threadIdOf(WindowHandle window) override;
    Text titleOf(WindowHandle window) override;
    Text classNameOf(WindowHandle window) override;
    // Modal until a button is pressed; 0 without showing anything once the program is shutting down.
    int messageBox(WindowHandle owner, const Text& message, const Text& caption, std::uint32_t style) override;

    [[nodiscard]] static WindowHandle handleOf(const QWindow* window);

private:
    std::uint32_t m_uiThreadId;
};

}  // namespace murrel
