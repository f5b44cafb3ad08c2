// Captcha drawing: a 5 x 7 digit font scaled by two, encoded as GIF through GraphicsMagick.
#include "tests/support/standin_service_picture.h"

#include "picture/codec_setup.h"

#include <Magick++.h>

#include <array>
#include <cstdint>
#include <vector>

namespace murrel::test {
namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kScale = 2;
constexpr int kGap = 4;
constexpr int kMargin = 4;
constexpr int kJitter = 4;

// One row per byte, the leftmost pixel in bit 4.
constexpr std::array<std::array<std::uint8_t, kGlyphHeight>, 10> kDigits = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
}};

struct Rgb
{
    unsigned char r, g, b;
};

class Canvas
{
public:
    Canvas(int width, int height, Rgb ground)
        : m_width(width), m_height(height), m_pixels(static_cast<std::size_t>(width * height) * 3)
    {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                put(x, y, ground);
            }
        }
    }

    void put(int x, int y, Rgb colour)
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
            return;
        }
        unsigned char* pixel = &m_pixels[static_cast<std::size_t>(y * m_width + x) * 3];
        pixel[0] = colour.r;
        pixel[1] = colour.g;
        pixel[2] = colour.b;
    }

    void drawDigit(int digit, int left, int top, Rgb colour)
    {
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int column = 0; column < kGlyphWidth; ++column) {
                if (kDigits[digit][row] & (0x10 >> column)) {
                    for (int dy = 0; dy < kScale; ++dy) {
                        for (int dx = 0; dx < kScale; ++dx) {
                            put(left + column * kScale + dx, top + row * kScale + dy, colour);
                        }
                    }
                }
            }
        }
    }

    std::string gif() const
    {
        preparePictureCodecs();
        try {
            Magick::Image image(m_width, m_height, "RGB", Magick::CharPixel, m_pixels.data());
            image.magick("GIF");
            Magick::Blob blob;
            image.write(&blob);
            return std::string(static_cast<const char*>(blob.data()), blob.length());
        } catch (...) {
            return {};
        }
    }

private:
    int m_width;
    int m_height;
    std::vector<unsigned char> m_pixels;
};

}  // namespace

std::string drawCaptchaGif(std::string_view digits, std::mt19937& random)
{
    const int count = static_cast<int>(digits.size());
    const int width = 2 * kMargin + count * kGlyphWidth * kScale + (count > 0 ? (count - 1) * kGap : 0);
    const int height = 2 * kMargin + kGlyphHeight * kScale + kJitter;
    Canvas canvas(width, height, Rgb{0xF2, 0xF5, 0xF9});

    std::uniform_int_distribution<int> anyX(0, width - 1);
    std::uniform_int_distribution<int> anyY(0, height - 1);
    std::uniform_int_distribution<int> light(0xB0, 0xE0);
    for (int speck = 0; speck < width * height / 12; ++speck) {
        const auto shade = static_cast<unsigned char>(light(random));
        canvas.put(anyX(random), anyY(random), Rgb{shade, shade, static_cast<unsigned char>(shade + 0x10)});
    }

    std::uniform_int_distribution<int> jitter(0, kJitter);
    std::uniform_int_distribution<int> dark(0x10, 0x70);
    int left = kMargin;
    for (char digit : digits) {
        if (digit < '0' || digit > '9') {
            continue;
        }
        const Rgb ink{static_cast<unsigned char>(dark(random)), static_cast<unsigned char>(dark(random)),
                      static_cast<unsigned char>(dark(random) + 0x40)};
        canvas.drawDigit(digit - '0', left, kMargin + jitter(random), ink);
        left += kGlyphWidth * kScale + kGap;
    }
    return canvas.gif();
}

}  // namespace murrel::test
