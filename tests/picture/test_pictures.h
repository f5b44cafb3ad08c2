// Small pictures and hostile payloads built in memory for the picture tests.
#pragma once

#include "textutil/text.h"

#include <string>

namespace murrel::testing {

// A 40 x 16 picture with a pattern, encoded by GraphicsMagick as `magick` (BMP, GIF, JPEG, PNG, TIFF).
[[nodiscard]] Bytes encodedPicture(const std::string& magick);

// Whether `bytes` begin with the signature of the named format.
[[nodiscard]] bool hasSignature(const Bytes& bytes, const std::string& magick);

// A complete black PNG of `side` x `side` pixels; for 30000 it is about 110 KB.
[[nodiscard]] Bytes blackPng(int side);
// A GIF of a few dozen bytes whose screen and image declare `side` x `side` pixels.
[[nodiscard]] Bytes gifDeclaring(int side);

}  // namespace murrel::testing
