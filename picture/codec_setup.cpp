// GraphicsMagick start-up: coder whitelist and resource limits.
#include "picture/codec_setup.h"

#include <Magick++.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <string_view>

namespace murrel {
namespace {

// GraphicsMagick picks the decoder from the leading bytes, whatever format the caller names, so the
// only way to keep network bytes away from the many other coders is to unregister them. These are
// the names the BMP, GIF, JPEG, PNG and TIFF coders register for themselves.
constexpr std::array<std::string_view, 18> kKeptCoders = {
    "BMP",   "BMP2",  "BMP3",  "GIF",   "GIF87", "JPEG", "JPG",  "PNG",  "PNG00",
    "PNG24", "PNG32", "PNG48", "PNG64", "PNG8",  "TIFF", "TIF",  "PTIF", "BIGTIFF",
};

// A captcha is a few hundred pixels wide; these bounds leave ample room and make a small file that
// declares a huge picture fail at once instead of exhausting memory or the disk.
constexpr MagickLib::magick_int64_t kMaxSide = 4096;
constexpr MagickLib::magick_int64_t kMaxPixels = 4LL * 1024 * 1024;
constexpr MagickLib::magick_int64_t kMaxMemoryBytes = 256LL * 1024 * 1024;
constexpr MagickLib::magick_int64_t kMaxReadBytes = 64LL * 1024 * 1024;

bool isKept(std::string_view name)
{
    return std::find(kKeptCoders.begin(), kKeptCoders.end(), name) != kKeptCoders.end();
}

std::vector<std::string> allCoderNames()
{
    std::vector<std::string> names;
    MagickLib::ExceptionInfo exception;
    MagickLib::GetExceptionInfo(&exception);
    if (MagickLib::MagickInfo** infos = MagickLib::GetMagickInfoArray(&exception)) {
        for (MagickLib::MagickInfo** info = infos; *info != nullptr; ++info) {
            names.emplace_back((*info)->name);
        }
        MagickLib::MagickFree(infos);
    }
    MagickLib::DestroyExceptionInfo(&exception);
    return names;
}

void restrictCoders()
{
    for (const std::string& name : allCoderNames()) {
        if (!isKept(name)) {
            MagickLib::UnregisterMagickInfo(name.c_str());
        }
    }
}

void limitResources()
{
    using namespace MagickLib;
    SetMagickResourceLimit(WidthResource, kMaxSide);
    SetMagickResourceLimit(HeightResource, kMaxSide);
    SetMagickResourceLimit(PixelsResource, kMaxPixels);
    SetMagickResourceLimit(MemoryResource, kMaxMemoryBytes);
    SetMagickResourceLimit(MapResource, kMaxMemoryBytes);
    SetMagickResourceLimit(ReadResource, kMaxReadBytes);
    // No pixel cache on disk: a picture that does not fit in memory is refused.
    SetMagickResourceLimit(DiskResource, 0);
}

std::once_flag g_prepared;

}  // namespace

void preparePictureCodecs()
{
    std::call_once(g_prepared, [] {
        // Without GraphicsMagick's own signal handlers: signals belong to the program.
        MagickLib::ExceptionInfo exception;
        MagickLib::GetExceptionInfo(&exception);
        MagickLib::InitializeMagickEx(nullptr, MAGICK_OPT_NO_SIGNAL_HANDER, &exception);
        MagickLib::DestroyExceptionInfo(&exception);
        restrictCoders();
        limitResources();
    });
}

std::vector<std::string> registeredPictureCodecs()
{
    preparePictureCodecs();
    return allCoderNames();
}

}  // namespace murrel
