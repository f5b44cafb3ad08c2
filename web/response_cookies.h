// The cookies that a response sets: stored in the cookie store and gathered into a cookie text.
#pragma once

#include "textutil/text.h"

namespace murrel {

// Goes through the raw response headers line by line; for every line holding "Set-Cookie: " (case
// ignored, anywhere) it drops the line's first 12 bytes, stores the rest under "http://" and `host`
// (name before the first "=", data after it) and adds the part before the first ";" and a ";" to
// the returned cookie text: two lines "a=1; path=/" and "b=2; path=/" give "a=1;b=2;".
Text storeResponseCookies(const Text& rawHeaders, const Text& host);

}  // namespace murrel
