// Cut the host, the object path and the port out of a URL by plain text searches, as the request
// routines need them (not a URL grammar: the quirks are relied upon).
#pragma once

#include "textutil/text.h"

namespace murrel {

// The text after the scheme up to the first "/" and then the first ":", in lower case.
[[nodiscard]] Text Url_Host(const Text& url);
// The object path from its first "/" to the end of the URL, query included, or "/".
[[nodiscard]] Text Url_Path(const Text& url);
// The port number; 80 when the URL names none, 0 when it is not a number.
[[nodiscard]] int Url_Port(const Text& url);

}  // namespace murrel
