// Re-encoding: the five formats, refused input and codes, the decoder whitelist and limits, savePath.
#include "picture/codec_setup.h"
#include "picture/picture_convert.h"
#include "test_pictures.h"

#include <Magick++.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <unistd.h>

namespace murrel {
namespace {

using testing::encodedPicture;
using testing::hasSignature;

const Bytes kUntouched(std::string_view("untouched"));

struct Size
{
    std::size_t columns = 0;
    std::size_t rows = 0;
};

Size decodedSize(const Bytes& picture)
{
    Magick::Image image;
    image.read(Magick::Blob(picture.data(), picture.size()));
    return {image.columns(), image.rows()};
}

class ConvertFrom : public ::testing::TestWithParam<std::string>
{};

TEST_P(ConvertFrom, GivesGifForFormat3AndPngForFormat5)
{
    const Bytes input = encodedPicture(GetParam());
    ASSERT_TRUE(hasSignature(input, GetParam()));
    for (auto [format, magick] : {std::pair{kPictureGif, "GIF"}, std::pair{kPicturePng, "PNG"}}) {
        Bytes result;
        ASSERT_TRUE(Picture_Convert(input, format, Text(), result)) << magick;
        EXPECT_TRUE(hasSignature(result, magick)) << magick;
        const Size size = decodedSize(result);
        EXPECT_EQ(size.columns, 40u);
        EXPECT_EQ(size.rows, 16u);
    }
}

INSTANTIATE_TEST_SUITE_P(Decodable, ConvertFrom, ::testing::Values("BMP", "GIF", "JPEG", "PNG", "TIFF"));

TEST(PictureConvert, EveryFormatCodeHasItsEncoder)
{
    const Bytes input = encodedPicture("PNG");
    for (auto [format, magick] : {std::pair{kPictureBmp, "BMP"}, std::pair{kPictureJpeg, "JPEG"},
                                  std::pair{kPictureGif, "GIF"}, std::pair{kPictureTiff, "TIFF"},
                                  std::pair{kPicturePng, "PNG"}}) {
        Bytes result;
        EXPECT_TRUE(Picture_Convert(input, format, Text(), result)) << magick;
        EXPECT_TRUE(hasSignature(result, magick)) << magick;
    }
}

TEST(PictureConvert, SmallPictureOfTheBombsKindPasses)
{
    Bytes result;
    EXPECT_TRUE(Picture_Convert(testing::blackPng(20), kPictureGif, Text(), result));
    EXPECT_TRUE(hasSignature(result, "GIF"));
}

TEST(PictureConvert, CodeOutsideTheTableGivesFalseAndLeavesResult)
{
    const Bytes input = encodedPicture("GIF");
    for (int format : {0, 6, -1}) {
        Bytes result = kUntouched;
        EXPECT_FALSE(Picture_Convert(input, format, Text(), result)) << format;
        EXPECT_EQ(result, kUntouched) << format;
    }
}

struct Refused
{
    const char* name;
    Bytes payload;
};

void PrintTo(const Refused& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class RefusedInput : public ::testing::TestWithParam<Refused>
{};

TEST_P(RefusedInput, GivesFalseAndLeavesResult)
{
    Bytes result = kUntouched;
    EXPECT_FALSE(Picture_Convert(GetParam().payload, kPictureGif, Text(), result));
    EXPECT_EQ(result, kUntouched);
}

INSTANTIATE_TEST_SUITE_P(
    NotACaptcha, RefusedInput,
    ::testing::Values(
        Refused{"Empty", Bytes()},
        Refused{"TimeOutMessage", Bytes(std::string_view("\xB3\xAC\xCA\xB1"))},
        Refused{"Pbm", Bytes(std::string_view("P1\n2 2\n0 1\n1 0\n"))},
        Refused{"Ppm", Bytes(std::string_view("P3\n1 1\n255\n255 0 0\n"))},
        Refused{"Svg", Bytes(std::string_view("<?xml version=\"1.0\"?><svg xmlns=\"http://www.w3.org/2000/svg\" "
                                              "width=\"10\" height=\"10\"><rect width=\"10\" height=\"10\"/></svg>"))},
        Refused{"Xpm", Bytes(std::string_view("/* XPM */\nstatic char *x[] = {\"1 1 1 1\", \"a c #000000\", \"a\"};\n"))},
        Refused{"TruncatedPng", Bytes(std::string_view("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16))},
        // Tiny files that declare 30000 x 30000 pixels: refused at once, nothing allocated.
        Refused{"PngBomb", testing::blackPng(30000)},
        Refused{"TooManyPixels", testing::blackPng(4000)},
        Refused{"GifBomb", testing::gifDeclaring(30000)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PictureCodecs, OnlyTheFiveFormatsRemain)
{
    const std::set<std::string> allowed = {"BMP",   "BMP2",  "BMP3",  "GIF",   "GIF87", "JPEG",
                                           "JPG",   "PNG",   "PNG00", "PNG24", "PNG32", "PNG48",
                                           "PNG64", "PNG8",  "TIFF",  "TIF",   "PTIF",  "BIGTIFF"};
    const std::vector<std::string> names = registeredPictureCodecs();
    for (const std::string& name : names) {
        EXPECT_TRUE(allowed.contains(name)) << name << " is still registered";
    }
    for (const char* needed : {"BMP", "GIF", "JPEG", "PNG", "TIFF"}) {
        EXPECT_NE(std::find(names.begin(), names.end(), needed), names.end()) << needed;
    }
}

class SavePath : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_previous = std::filesystem::current_path();
        m_dir = std::filesystem::temp_directory_path() /
                ("murrel-picture-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        std::filesystem::current_path(m_dir);
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_previous);
        std::filesystem::remove_all(m_dir);
    }

    static std::string contentOf(const std::filesystem::path& path)
    {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream content;
        content << file.rdbuf();
        return content.str();
    }

    std::filesystem::path m_previous;
    std::filesystem::path m_dir;
};

TEST_F(SavePath, WritesTheResultToTheNamedFile)
{
    Bytes result;
    ASSERT_TRUE(Picture_Convert(encodedPicture("PNG"), kPictureGif, Text((m_dir / "out.gif").string()), result));
    EXPECT_EQ(contentOf(m_dir / "out.gif"), result.str());
}

TEST_F(SavePath, GbkNameBecomesAUtf8FileName)
{
    Bytes result;
    ASSERT_TRUE(Picture_Convert(encodedPicture("PNG"), kPictureGif,
                                Text("\xD1\xE9\xD6\xA4\xC2\xEB.gif"),  // "验证码.gif"
                                result));
    EXPECT_EQ(contentOf(m_dir / "验证码.gif"), result.str());
}

TEST_F(SavePath, OnlySpacesWriteNothing)
{
    for (const char* spaces : {"   ", "\xA1\xA1", " \xA1\xA1 "}) {
        Bytes result;
        EXPECT_TRUE(Picture_Convert(encodedPicture("PNG"), kPictureGif, Text(spaces), result));
        EXPECT_FALSE(result.empty());
    }
    EXPECT_TRUE(std::filesystem::is_empty(m_dir));
}

TEST_F(SavePath, UnwritableFileStillGivesTheResult)
{
    Bytes result;
    EXPECT_TRUE(Picture_Convert(encodedPicture("PNG"), kPictureGif,
                                Text((m_dir / "missing" / "out.gif").string()), result));
    EXPECT_TRUE(hasSignature(result, "GIF"));
}

}  // namespace
}  // namespace murrel
