// Process-wide set-up and wind-down of web access.
#pragma once

#include <chrono>

namespace murrel {

// Sets libcurl up for the whole process and creates the cookie store. Call it from main before any
// thread starts; later calls do nothing.
void Web_Init();

// Asks every background request still running (including abandoned ones) to stop and waits up to
// `wait` for them to end; true when none is left. Call it before the program exits.
bool Web_Shutdown(std::chrono::milliseconds wait = std::chrono::seconds(3));

}  // namespace murrel
