// A window-system double for tests: a desktop without windows whose message boxes are recorded and
// answered with OK at once.
#pragma once

#include "msgbox/window_system.h"
#include "textutil/text.h"

#include <cstdint>
#include <vector>

namespace murrel::test {

struct MessageBoxCall
{
    WindowHandle owner;
    Text message;
    Text caption;
    std::uint32_t style;
};

class MessageBoxRecorder : public WindowSystem
{
public:
    std::vector<WindowHandle> topLevelWindows() override { return {}; }
    bool isVisible(WindowHandle) override { return false; }
    std::uint32_t processIdOf(WindowHandle) override { return 0; }
    std::uint32_t threadIdOf(WindowHandle) override { return 0; }
    Text titleOf(WindowHandle) override { return {}; }
    Text classNameOf(WindowHandle) override { return {}; }
    int messageBox(WindowHandle owner, const Text& message, const Text& caption, std::uint32_t style) override
    {
        m_boxes.push_back({owner, message, caption, style});
        return kIdOk;
    }

    [[nodiscard]] const std::vector<MessageBoxCall>& boxes() const { return m_boxes; }

private:
    std::vector<MessageBoxCall> m_boxes;
};

// A recorder that is the installed window system for as long as it lives.
class InstalledMessageBoxRecorder : public MessageBoxRecorder
{
public:
    InstalledMessageBoxRecorder() { installWindowSystem(this); }
    ~InstalledMessageBoxRecorder() override { installWindowSystem(nullptr); }
    InstalledMessageBoxRecorder(const InstalledMessageBoxRecorder&) = delete;
    InstalledMessageBoxRecorder& operator=(const InstalledMessageBoxRecorder&) = delete;
};

}  // namespace murrel::test
