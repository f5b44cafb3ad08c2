// Starts GraphicsMagick once per process, able to decode only the picture formats a captcha comes in
// and bounded so that no picture can claim more pixels or memory than a captcha ever needs.
#pragma once

#include <string>
#include <vector>

namespace murrel {

// Thread-safe; the first call does the work, later calls return at once.
void preparePictureCodecs();

// The format names GraphicsMagick still knows after preparePictureCodecs().
[[nodiscard]] std::vector<std::string> registeredPictureCodecs();

}  // namespace murrel
