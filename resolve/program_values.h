// The program-wide values that the two steps share, owned by one object for the whole run.
#pragma once

#include "msgbox/msg_box.h"
#include "regex/regex_object.h"
#include "textutil/text.h"

namespace murrel {

class ProgramValues
{
public:
    // App_InitGlobals: the regex object is constructed and the window list bound as the enumeration list.
    ProgramValues();
    // Runs release() when it has not run yet.
    ~ProgramValues();
    ProgramValues(const ProgramValues&) = delete;
    ProgramValues& operator=(const ProgramValues&) = delete;

    // App_ReleaseGlobals: releases the five values in their fixed order, once; later calls do nothing.
    void release();
    [[nodiscard]] bool released() const noexcept { return m_released; }

    Text App_FileId;
    RegexObject App_Regex;
    Text App_HashPage;
    Text App_HashKey;
    WindowList App_WindowList;

private:
    bool m_released = false;
};

}  // namespace murrel
