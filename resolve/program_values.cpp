// Construction and the one-time release of the program-wide values.
#include "resolve/program_values.h"

#include <utility>

namespace murrel {
namespace {

// Swapping with an empty local hands the old buffer to the local, which frees it.
void releaseText(Text& text)
{
    Text released;
    std::swap(text, released);
}

}  // namespace

ProgramValues::ProgramValues()
{
    bindEnumerationList(&App_WindowList);
}

ProgramValues::~ProgramValues()
{
    release();
}

void ProgramValues::release()
{
    if (m_released) {
        return;
    }
    m_released = true;
    releaseText(App_FileId);
    App_Regex.Destroy();
    releaseText(App_HashPage);
    releaseText(App_HashKey);
    // Unbound first, so that no enumeration writes into the list while it goes.
    bindEnumerationList(nullptr);
    WindowList().swap(App_WindowList);
}

}  // namespace murrel
