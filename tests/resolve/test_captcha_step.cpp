// The captcha step against the stand-in service: what it asks for, in which order, and what it keeps.
#include "resolve/steps.h"
#include "step_doubles.h"

#include <gmock/gmock.h>

#include <regex>

namespace murrel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::MatchesRegex;

const std::string kRandPattern = "0\\.2555826495[1-9][0-9]{5}";

TEST_F(StepTest, CaptchaStepPreparesEverythingForTheLinkStep)
{
    pasteLink(service().shareLink("23075823"));
    window.type(Control::编辑框_验证码, "1234");
    Resolve_CaptchaStep(values, window);

    EXPECT_EQ(values.App_FileId, Text("23075823"));
    EXPECT_EQ(values.App_HashKey, Text(StandInService::hashFor("23075823")));
    EXPECT_NE(values.App_HashPage.view().find(StandInService::hashFor("23075823")), std::string_view::npos);
    EXPECT_TRUE(window.picture().view().starts_with("GIF8"));
    EXPECT_TRUE(window.enabled(Control::按钮_获取下载地址));
    EXPECT_EQ(window.text(Control::编辑框_验证码), Text());

    // Share page in the background, the captcha picture, the share page again on the spot.
    const std::vector<RecordedRequest> requests = service().server().requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].target, "/file/23075823");
    EXPECT_EQ(requests[1].path, "/randcodeV2_downurl.php");
    EXPECT_THAT(requests[1].query, MatchesRegex("fid=23075823&key=" + StandInService::keyFor("23075823") +
                                                "&rand=" + kRandPattern));
    EXPECT_EQ(requests[2].target, "/file/23075823");
    // The session of the first page goes with the picture and the second page.
    EXPECT_EQ(requests[1].cookie(StandInService::kSessionCookie), service().lastSession());
    EXPECT_EQ(requests[2].cookie(StandInService::kSessionCookie), service().lastSession());
}

TEST_F(StepTest, CaptchaBoxIsEmptiedAndFocusedBeforeAnyRequest)
{
    pasteLink(service().shareLink("1"));
    window.type(Control::编辑框_验证码, "1234");
    Resolve_CaptchaStep(values, window);

    const std::vector<WindowCall>& calls = window.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].what, "write");
    EXPECT_EQ(calls[0].control, Control::编辑框_验证码);
    EXPECT_EQ(calls[0].value, "");
    EXPECT_EQ(calls[1].what, "focus");
    EXPECT_EQ(calls[1].control, Control::编辑框_验证码);
    EXPECT_EQ(calls[1].requestsSoFar, 0u);
    // The picture is shown before the second page is asked for, the button enabled after it.
    ASSERT_EQ(window.calls("picture").size(), 1u);
    EXPECT_EQ(window.calls("picture")[0].requestsSoFar, 2u);
    EXPECT_EQ(window.calls("enable")[0].requestsSoFar, 3u);
}

TEST_F(StepTest, RandIsTheFixedDigitsAndSixMore)
{
    pasteLink(service().shareLink("42"));
    for (int run = 0; run < 3; ++run) {
        Resolve_CaptchaStep(values, window);
    }
    const std::vector<RecordedRequest> pictures = requestsTo("/randcodeV2_downurl.php");
    ASSERT_EQ(pictures.size(), 3u);
    for (const RecordedRequest& picture : pictures) {
        EXPECT_THAT(picture.queryValue("rand").value_or(""), MatchesRegex(kRandPattern));
    }
}

struct LinkCase
{
    const char* name;
    std::string link;           // "PORT" stands for the stand-in's port
    std::string fileId;         // App_FileId afterwards
    std::string firstPagePath;  // the share page requested, or empty when none
};

void PrintTo(const LinkCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class CaptchaStepLink : public StepTest, public ::testing::WithParamInterface<LinkCase>
{};

TEST_P(CaptchaStepLink, FileIdIsCutFromTheLinkAsTyped)
{
    std::string link = GetParam().link;
    if (const auto port = link.find("PORT"); port != std::string::npos) {
        link.replace(port, 4, std::to_string(service().server().port()));
    }
    pasteLink(link);
    Resolve_CaptchaStep(values, window);

    EXPECT_EQ(values.App_FileId, Text(GetParam().fileId));
    const std::vector<RecordedRequest> requests = service().server().requests();
    const std::size_t pages = GetParam().firstPagePath.empty() ? 0 : 2;
    ASSERT_EQ(requests.size(), pages + 1);
    if (pages > 0) {
        EXPECT_EQ(requests.front().path, GetParam().firstPagePath);
        EXPECT_EQ(requests.back().path, GetParam().firstPagePath);
    }
    // The captcha address carries the file id as it is (spaces only escaped on the wire).
    const RecordedRequest& picture = requests[pages == 0 ? 0 : 1];
    std::string wireFileId = GetParam().fileId;
    for (std::size_t space = wireFileId.find(' '); space != std::string::npos; space = wireFileId.find(' ')) {
        wireFileId.replace(space, 1, "%20");
    }
    EXPECT_EQ(picture.queryValue("fid"), wireFileId);
    // Whatever the link gave, the link step can be tried.
    EXPECT_TRUE(window.enabled(Control::按钮_获取下载地址));
}

INSTANTIATE_TEST_SUITE_P(
    Links, CaptchaStepLink,
    ::testing::Values(LinkCase{"Plain", "http://127.0.0.1:PORT/file/23075823", "23075823", "/file/23075823"},
                      LinkCase{"NoScheme", "127.0.0.1:PORT/file/23075823", "23075823", "/file/23075823"},
                      LinkCase{"SpacesAround", "  http://127.0.0.1:PORT/file/555   ", "555   ", "/file/555"},
                      LinkCase{"EndsInSlash", "http://127.0.0.1:PORT/file/", "", "/file/"},
                      LinkCase{"NoSlash", "127.0.0.1:PORT", "", "/"},
                      LinkCase{"Empty", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct PageCase
{
    const char* name;
    std::string page;
    std::string key;   // the key in the captcha address
    std::string hash;  // App_HashKey afterwards
};

void PrintTo(const PageCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class CaptchaStepPage : public StepTest, public ::testing::WithParamInterface<PageCase>
{};

TEST_P(CaptchaStepPage, KeyAndHashComeFromThePage)
{
    service().server().handle("GET", "/file/page",
                              [page = GetParam().page](const RecordedRequest&) { return Response::text(page); });
    pasteLink(service().shareLink("page"));
    Resolve_CaptchaStep(values, window);

    const std::vector<RecordedRequest> pictures = requestsTo("/randcodeV2_downurl.php");
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_THAT(pictures[0].query, MatchesRegex("fid=page&key=" + GetParam().key + "&rand=" + kRandPattern));
    EXPECT_EQ(values.App_HashKey, Text(GetParam().hash));
    EXPECT_TRUE(window.enabled(Control::按钮_获取下载地址));
}

const std::string kKey = "0123456789abcdefABCDEF_012345678";
const std::string kHash = "0123456789abcdef0123456789abcdef";

INSTANTIATE_TEST_SUITE_P(
    Pages, CaptchaStepPage,
    ::testing::Values(
        PageCase{"KeyInCapitals", "x KEY=" + kKey + "&rand\n<input value=\"" + kHash + "\"/>\n", kKey, kHash},
        PageCase{"KeyFollowedByMoreWordCharacters", "key=" + kKey + "99\n", kKey, ""},
        PageCase{"NoKey", "key=short\n<input value=\"" + kHash + "\"/>\n", "", kHash},
        PageCase{"HashTooShort", "<input value=\"" + kHash.substr(0, 29) + "\"/>\n", "", ""},
        // The group is greedy: on one line it reaches to the last "/>.
        PageCase{"TwoAttributesOnALine",
                 "<input value=\"" + kHash + "\"/><input value=\"b\"/>\n<input value=\"" + kHash + "x\"/>\n", "",
                 kHash + "\"/><input value=\"b"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StepTest, FailedFetchesStillEnableTheLinkButton)
{
    service().server().handle("GET", "/file/*", [](const RecordedRequest&) {
        Response gone = Response::text("gone");
        gone.status = 500;
        return gone;
    });
    pasteLink(service().shareLink("23075823"));
    Resolve_CaptchaStep(values, window);

    EXPECT_THAT(requestsTo("/randcodeV2_downurl.php"), ::testing::SizeIs(1));
    ASSERT_EQ(window.calls("picture").size(), 1u);
    EXPECT_TRUE(window.picture().empty());
    EXPECT_EQ(values.App_HashKey, Text());
    EXPECT_TRUE(window.enabled(Control::按钮_获取下载地址));
}

TEST_F(StepTest, SecondRunReplacesTheValuesOfTheFirst)
{
    pasteLink(service().shareLink("111"));
    Resolve_CaptchaStep(values, window);
    pasteLink(service().shareLink("222"));
    Resolve_CaptchaStep(values, window);

    EXPECT_EQ(values.App_FileId, Text("222"));
    EXPECT_EQ(values.App_HashKey, Text(StandInService::hashFor("222")));
    EXPECT_EQ(values.App_HashPage.view().find(StandInService::hashFor("111")), std::string_view::npos);
}

}  // namespace
}  // namespace murrel::test
