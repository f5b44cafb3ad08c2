// Builders of test pictures and payloads.
#include "test_pictures.h"

#include "picture/codec_setup.h"

#include <Magick++.h>

#include <array>
#include <cstdint>
#include <vector>

#include <zlib.h>

namespace murrel::testing {
namespace {

void putBigEndian32(std::string& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void putLittleEndian16(std::string& out, int value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

std::uint32_t crc32(std::string_view bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void putPngChunk(std::string& out, std::string_view type, std::string_view data)
{
    putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
    std::string typed(type);
    typed.append(data);
    out.append(typed);
    putBigEndian32(out, crc32(typed));
}

}  // namespace

Bytes encodedPicture(const std::string& magick)
{
    preparePictureCodecs();
    constexpr int kWidth = 40;
    constexpr int kHeight = 16;
    std::vector<unsigned char> pixels(kWidth * kHeight * 3);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        const unsigned char shade = ((i % kWidth) / 4 + (i / kWidth) / 4) % 2 ? 0 : 255;
        pixels[i * 3] = shade;
        pixels[i * 3 + 1] = static_cast<unsigned char>(i % 256);
        pixels[i * 3 + 2] = 128;
    }
    Magick::Image image(kWidth, kHeight, "RGB", Magick::CharPixel, pixels.data());
    image.magick(magick);
    Magick::Blob blob;
    image.write(&blob);
    return Bytes(static_cast<const std::uint8_t*>(blob.data()), blob.length());
}

bool hasSignature(const Bytes& bytes, const std::string& magick)
{
    std::string_view signature;
    if (magick == "GIF") {
        signature = "GIF8";
    } else if (magick == "PNG") {
        signature = "\x89PNG\r\n\x1A\n";
    } else if (magick == "JPEG") {
        signature = "\xFF\xD8\xFF";
    } else if (magick == "BMP") {
        signature = "BM";
    } else if (magick == "TIFF") {
        return bytes.view().starts_with("II*") || bytes.view().starts_with("MM\0*");
    }
    return !signature.empty() && bytes.view().starts_with(signature);
}

Bytes blackPng(int side)
{
    std::string png("\x89PNG\r\n\x1A\n", 8);
    std::string header;
    putBigEndian32(header, static_cast<std::uint32_t>(side));
    putBigEndian32(header, static_cast<std::uint32_t>(side));
    header.append("\x01\x00\x00\x00\x00", 5);  // 1-bit grey, no interlace
    putPngChunk(png, "IHDR", header);

    // Every row is a filter byte and zero bits; deflate shrinks them about a thousandfold.
    const std::vector<unsigned char> row(1 + (static_cast<std::size_t>(side) + 7) / 8, 0);
    std::string idat;
    z_stream zs{};
    deflateInit(&zs, Z_BEST_SPEED);
    std::array<unsigned char, 1 << 16> out{};
    for (int y = 0; y < side; ++y) {
        zs.next_in = const_cast<unsigned char*>(row.data());
        zs.avail_in = static_cast<uInt>(row.size());
        const int flush = y + 1 == side ? Z_FINISH : Z_NO_FLUSH;
        do {
            zs.next_out = out.data();
            zs.avail_out = static_cast<uInt>(out.size());
            deflate(&zs, flush);
            idat.append(reinterpret_cast<const char*>(out.data()), out.size() - zs.avail_out);
        } while (zs.avail_out == 0);
    }
    deflateEnd(&zs);
    putPngChunk(png, "IDAT", idat);
    putPngChunk(png, "IEND", {});
    return Bytes(std::move(png));
}

Bytes gifDeclaring(int side)
{
    std::string gif("GIF89a");
    putLittleEndian16(gif, side);
    putLittleEndian16(gif, side);
    gif.append("\x80\x00\x00", 3);        // a global table of two colours
    gif.append("\x00\x00\x00\xFF\xFF\xFF", 6);
    gif.push_back(',');                   // image descriptor at 0,0
    putLittleEndian16(gif, 0);
    putLittleEndian16(gif, 0);
    putLittleEndian16(gif, side);
    putLittleEndian16(gif, side);
    gif.push_back('\0');
    gif.append("\x02\x02\x44\x01\x00", 5);  // LZW: minimum code size 2, one short block
    gif.push_back(';');
    return Bytes(std::move(gif));
}

}  // namespace murrel::testing
