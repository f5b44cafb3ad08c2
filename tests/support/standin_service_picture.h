// The stand-in service's captcha pictures: digits drawn with a small built-in bitmap font.
#pragma once

#include <random>
#include <string>
#include <string_view>

namespace murrel::test {

// A GIF showing `digits` (0-9 only) in dark colours on a light, speckled ground, each digit shifted
// up or down a little. Empty when GraphicsMagick cannot encode it.
[[nodiscard]] std::string drawCaptchaGif(std::string_view digits, std::mt19937& random);

}  // namespace murrel::test
