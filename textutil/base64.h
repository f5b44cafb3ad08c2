// Decoding of the Base64 form in which the service carries the normal download link.
#pragma once

#include "textutil/text.h"

namespace murrel {

// Decodes RFC 4648 Base64 group by group, skipping spaces and CR LF pairs and letting the window
// handle its events after each group. Never fails: characters outside the alphabet end their group.
[[nodiscard]] Bytes Code_Base64Decode(const Text& text);

}  // namespace murrel
