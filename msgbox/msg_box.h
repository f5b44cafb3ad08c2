// A message box owned by the program's own visible window, found by enumerating top-level windows.
#pragma once

#include "msgbox/window_system.h"
#include "textutil/text.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace murrel {

// One visible top-level window.
struct WindowEntry
{
    WindowHandle hwnd = 0;
    std::uint32_t processId = 0;
    std::uint32_t threadId = 0;
    Text title;      // at most 255 bytes
    Text className;  // at most 49 bytes
};
using WindowList = std::vector<WindowEntry>;

// The list that the enumeration callback fills (App_WindowList); the program binds its own at start-up.
// Unbound, a private list serves.
void bindEnumerationList(WindowList* list);

// Shows `message` (default style MB_OK with the information icon, caption "友情提醒", owner the first
// visible window of this process) and returns the pressed button numbered from 0 (OK is 0), -1 on failure.
int Msg_Box(const Text& message, std::optional<std::uint32_t> style = std::nullopt,
            const std::optional<Text>& caption = std::nullopt, std::optional<WindowHandle> owner = std::nullopt);

// The first visible top-level window of process `pid` in enumeration order, or 0.
[[nodiscard]] WindowHandle Window_OfProcess(std::uint32_t pid);
// Replaces `list` by the visible top-level windows in enumeration order and returns their number.
int Window_List(WindowList& list);
// The enumeration callback: appends a visible window to the enumeration list; always continues.
bool Window_OnEnum(WindowHandle window, std::intptr_t applicationValue);

[[nodiscard]] std::uint32_t currentProcessId();

}  // namespace murrel
