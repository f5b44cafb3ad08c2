// Picture fetch against a stand-in web host: re-encoded on success, empty on failure or time-out.
#include "picture/picture_fetch.h"
#include "test_pictures.h"
#include "tests/support/standin_server.h"
#include "web/web_init.h"

#include <gtest/gtest.h>

namespace murrel {
namespace {

using testing::hasSignature;

class WebEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { Web_Init(); }
    void TearDown() override { EXPECT_TRUE(Web_Shutdown()); }
};
[[maybe_unused]] ::testing::Environment* const g_web = ::testing::AddGlobalTestEnvironment(new WebEnvironment);

class PictureFetch : public ::testing::Test
{
protected:
    void serve(Bytes picture, std::chrono::milliseconds stall = {})
    {
        m_server.handle("GET", "/captcha", [picture, stall](const test::RecordedRequest&) {
            test::Response response = test::Response::text(picture.str(), "image/png");
            response.stall = stall;
            return response;
        });
    }
    Text url() const { return Text(m_server.url("/captcha")); }

    test::StandInServer m_server;
};

TEST_F(PictureFetch, GivesGifByDefaultAndTheHeaders)
{
    serve(testing::encodedPicture("PNG"));
    Text headers;
    const Bytes picture = Picture_Fetch(url(), Text(), headers);
    EXPECT_TRUE(hasSignature(picture, "GIF"));
    EXPECT_NE(headers.view().find("image/png"), std::string_view::npos);
}

TEST_F(PictureFetch, GivesTheFormatAskedFor)
{
    serve(testing::encodedPicture("JPEG"));
    Text headers;
    EXPECT_TRUE(hasSignature(Picture_Fetch(url(), Text(), headers, 5), "PNG"));
}

TEST_F(PictureFetch, UndecodableBodyGivesEmpty)
{
    serve(Bytes(std::string_view("<html>not a picture</html>")));
    Text headers;
    EXPECT_TRUE(Picture_Fetch(url(), Text(), headers).empty());
}

TEST_F(PictureFetch, TimeOutGivesEmptyNotTheMessage)
{
    serve(testing::encodedPicture("PNG"), std::chrono::seconds(3));
    Text headers("untouched");
    EXPECT_TRUE(Picture_Fetch(url(), Text(), headers, std::nullopt, 1).empty());
    EXPECT_EQ(headers, Text("untouched"));
}

}  // namespace
}  // namespace murrel
