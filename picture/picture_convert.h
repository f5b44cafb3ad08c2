// Re-encoding of a picture into one of five formats, optionally also written to a file.
#pragma once

#include "textutil/text.h"

namespace murrel {

// Format codes, each naming an encoder by its CLSID; any other code names none.
inline constexpr int kPictureBmp = 1;
inline constexpr int kPictureJpeg = 2;
inline constexpr int kPictureGif = 3;
inline constexpr int kPictureTiff = 4;
inline constexpr int kPicturePng = 5;

// Decodes `picture` (BMP, GIF, JPEG, PNG or TIFF; the first frame) and encodes it as `format`. True
// when an encoded picture came out: `result` receives it and, when `savePath` holds more than spaces,
// it is also written to that file (a failed write is ignored). False otherwise, `result` untouched.
bool Picture_Convert(const Bytes& picture, int format, const Text& savePath, Bytes& result);

}  // namespace murrel
