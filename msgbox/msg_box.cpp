// Owner-aware message box and the window enumeration underneath it.
#include "msgbox/msg_box.h"

#include "textutil/text_ops.h"

#include <atomic>
#include <unistd.h>

namespace murrel {
namespace {

std::atomic<WindowSystem*> g_windowSystem{nullptr};
WindowList g_privateList;
WindowList* g_enumerationList = &g_privateList;

// "友情提醒" in GBK.
const Text kDefaultCaption("\xD3\xD1\xC7\xE9\xCC\xE1\xD0\xD1");

constexpr int kTitleMax = 255;
constexpr int kClassNameMax = 49;

}  // namespace

void installWindowSystem(WindowSystem* system)
{
    g_windowSystem.store(system);
}

WindowSystem* installedWindowSystem()
{
    return g_windowSystem.load();
}

void bindEnumerationList(WindowList* list)
{
    g_enumerationList = list ? list : &g_privateList;
}

std::uint32_t currentProcessId()
{
    return static_cast<std::uint32_t>(::getpid());
}

bool Window_OnEnum(WindowHandle window, std::intptr_t /*applicationValue*/)
{
    WindowSystem* system = installedWindowSystem();
    if (!system || !system->isVisible(window)) {
        return true;
    }
    WindowEntry entry;
    entry.hwnd = window;
    entry.processId = system->processIdOf(window);
    entry.threadId = system->threadIdOf(window);
    entry.title = left(system->titleOf(window), kTitleMax);
    entry.className = left(system->classNameOf(window), kClassNameMax);
    g_enumerationList->push_back(std::move(entry));
    return true;
}

int Window_List(WindowList& list)
{
    if (WindowSystem* system = installedWindowSystem()) {
        for (WindowHandle window : system->topLevelWindows()) {
            if (!Window_OnEnum(window, 0)) {
                break;
            }
        }
    }
    list = *g_enumerationList;
    g_enumerationList->clear();
    return static_cast<int>(list.size());
}

WindowHandle Window_OfProcess(std::uint32_t pid)
{
    WindowList windows;
    Window_List(windows);
    for (const WindowEntry& entry : windows) {
        if (entry.processId == pid) {
            return entry.hwnd;
        }
    }
    return 0;
}

int Msg_Box(const Text& message, std::optional<std::uint32_t> style, const std::optional<Text>& caption,
            std::optional<WindowHandle> owner)
{
    const WindowHandle ownerWindow = owner ? *owner : Window_OfProcess(currentProcessId());
    const Text& captionText = caption ? *caption : kDefaultCaption;
    const std::uint32_t styleBits = style ? *style : (kMbOk | kMbIconInformation);
    WindowSystem* system = installedWindowSystem();
    const int pressed = system ? system->messageBox(ownerWindow, message, captionText, styleBits) : 0;
    return pressed - 1;
}

}  // namespace murrel
