// Picture re-encoding through GraphicsMagick, the encoder chosen by its CLSID.
#include "picture/picture_convert.h"

#include "picture/codec_setup.h"
#include "picture/gbk_to_utf16.h"
#include "textutil/codepage.h"
#include "textutil/text_ops.h"

#include <Magick++.h>

#include <array>
#include <fstream>
#include <optional>
#include <string>

namespace murrel {
namespace {

struct Encoder
{
    int code;
    const char* clsid;
    const char* magick;
};

constexpr std::array<Encoder, 5> kEncoders = {{
    {kPictureBmp, "{557CF400-1A04-11D3-9A73-0000F81EF32E}", "BMP"},
    {kPictureJpeg, "{557CF401-1A04-11D3-9A73-0000F81EF32E}", "JPEG"},
    {kPictureGif, "{557CF402-1A04-11D3-9A73-0000F81EF32E}", "GIF"},
    {kPictureTiff, "{557CF405-1A04-11D3-9A73-0000F81EF32E}", "TIFF"},
    {kPicturePng, "{557CF406-1A04-11D3-9A73-0000F81EF32E}", "PNG"},
}};

Text clsidOf(int format)
{
    for (const Encoder& encoder : kEncoders) {
        if (encoder.code == format) {
            return encoder.clsid;
        }
    }
    return {};
}

// The encoder is looked up by its identifier in the form the system keeps identifiers in. The second
// argument is spelled out: textutil has a one-argument function of the same name.
const Encoder* encoderByClsid(const Bytes& clsid)
{
    for (const Encoder& encoder : kEncoders) {
        if (Code_GbkToUtf16(encoder.clsid) == clsid) {
            return &encoder;
        }
    }
    return nullptr;
}

std::optional<Bytes> reencode(const Bytes& picture, const char* magick)
{
    if (picture.empty()) {
        return std::nullopt;
    }
    preparePictureCodecs();
    try {
        Magick::Image image;
        image.quiet(true);   // warnings about odd but readable files do not throw
        image.subRange(1);   // only the first frame is decoded
        image.read(Magick::Blob(picture.data(), picture.size()));
        image.magick(magick);
        Magick::Blob encoded;
        image.write(&encoded);
        if (encoded.length() == 0) {
            return std::nullopt;
        }
        return Bytes(static_cast<const std::uint8_t*>(encoded.data()), encoded.length());
    } catch (...) {
        // Undecodable input, a refused resource or an encoder failure: no picture.
        return std::nullopt;
    }
}

void writeFile(const Text& gbkPath, const Bytes& content)
{
    const std::string path = Code_FromWide(Code_GbkToUtf16(gbkPath), kCodePageUtf8).str();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(content.str().data(), static_cast<std::streamsize>(content.size()));
}

}  // namespace

bool Picture_Convert(const Bytes& picture, int format, const Text& savePath, Bytes& result)
{
    const Encoder* encoder = encoderByClsid(Code_GbkToUtf16(clsidOf(format)));
    if (encoder == nullptr) {
        return false;
    }
    std::optional<Bytes> encoded = reencode(picture, encoder->magick);
    if (!encoded) {
        return false;
    }
    result = std::move(*encoded);
    if (!trimBoth(savePath).empty()) {
        writeFile(savePath, result);
    }
    return true;
}

}  // namespace murrel
