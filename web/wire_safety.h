// Checks that keep what a caller gives from changing the shape of the request on the wire.
#pragma once

#include "textutil/text.h"

namespace murrel {

// True when the text holds a CR or an LF anywhere: in a URL, a proxy or a cookie text any of them
// would start a new header line.
[[nodiscard]] bool hasLineBreak(const Text& text);

// True when a header text holds a CR or an LF that is not part of a CR LF pair, the only line end
// between its header lines.
[[nodiscard]] bool hasStrayLineBreak(const Text& headers);

// The request target with every byte that may not stand in a request line percent-encoded: space,
// control bytes, bytes of 0x80 and above, and "#" (which would otherwise end the target).
[[nodiscard]] Text encodeRequestTarget(const Text& target);

}  // namespace murrel
