// What the window system offers to the message box and to window enumeration. The window layer
// installs the real one; tests install a double that records what it is asked.
#pragma once

#include "textutil/text.h"

#include <cstdint>
#include <vector>

namespace murrel {

using WindowHandle = std::uintptr_t;

// Message-box styles and the button ids a box returns, with the values the rest of the program passes and reads.
inline constexpr std::uint32_t kMbOk = 0x0;
inline constexpr std::uint32_t kMbIconInformation = 0x40;
inline constexpr std::uint32_t kMbTaskModal = 0x2000;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class WindowSystem
{
public:
    virtual ~WindowSystem() = default;
    // The desktop's top-level windows in enumeration order.
    virtual std::vector<WindowHandle> topLevelWindows() = 0;
    virtual bool isVisible(WindowHandle window) = 0;
    virtual std::uint32_t processIdOf(WindowHandle window) = 0;
    virtual std::uint32_t threadIdOf(WindowHandle window) = 0;
    virtual Text titleOf(WindowHandle window) = 0;
    virtual Text classNameOf(WindowHandle window) = 0;
    // Shows a modal message box and returns the pressed button's id (kIdOk, ...), 0 on failure.
    virtual int messageBox(WindowHandle owner, const Text& message, const Text& caption, std::uint32_t style) = 0;
};

// nullptr removes it; without one, message boxes fail (-1) and no window is enumerated.
void installWindowSystem(WindowSystem* system);
[[nodiscard]] WindowSystem* installedWindowSystem();

}  // namespace murrel
