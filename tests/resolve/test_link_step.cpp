// The link step against the stand-in service: the form it posts, the cutting of the reply, and the
// wrong-captcha message.
#include "resolve/steps.h"
#include "step_doubles.h"

#include <gmock/gmock.h>

namespace murrel::test {
namespace {

const Text kOldLink("http://old.example/left-from-an-earlier-run");

class LinkStep : public StepTest
{
protected:
    // Links of an earlier run stand in both boxes, so that the test sees them replaced.
    void SetUp() override
    {
        StepTest::SetUp();
        window.type(Control::编辑框_普通下载, kOldLink);
        window.type(Control::编辑框_迅雷下载, kOldLink);
    }

    void expectWrongCaptchaMessage(std::size_t count = 1)
    {
        ASSERT_EQ(desktop.boxes().size(), count);
        const MessageBoxCall& box = desktop.boxes().back();
        EXPECT_EQ(box.owner, 0u);
        EXPECT_EQ(box.message, kWrongCaptchaMessage);
        EXPECT_EQ(box.caption, kInformationCaption);
        EXPECT_EQ(box.style, 0x2000u);
    }

    // Answers the guest login with `reply` (UTF-8) instead of the service's own pages.
    void replyWith(std::string reply)
    {
        service().server().handle("POST", "/guest_loginV2.php",
                                  [reply](const RecordedRequest&) { return Response::text(reply); });
    }
};

TEST_F(LinkStep, RightCaptchaFillsBothBoxes)
{
    captchaStepAndTypeCode("23075823");
    Resolve_LinkStep(values, window);

    EXPECT_TRUE(desktop.boxes().empty());
    EXPECT_EQ(window.text(Control::编辑框_普通下载), Text(service().normalLinkFor("23075823")));
    EXPECT_EQ(window.text(Control::编辑框_迅雷下载), Text(service().thunderLinkFor("23075823")));
}

TEST_F(LinkStep, PostsTheFormBodyAsItsExactBytesWithTheSessionCookie)
{
    captchaStepAndTypeCode("23075823");
    const std::string code = service().lastCaptchaCode();
    window.type(Control::编辑框_验证码, Text("  " + code + " \xA1\xA1"));
    Resolve_LinkStep(values, window);

    const std::vector<RecordedRequest> posts = requestsTo("/guest_loginV2.php");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].method, "POST");
    EXPECT_EQ(posts[0].body, "file_id=23075823&hash_key=" + StandInService::hashFor("23075823") + "&randcode=" +
                                 code + "&Comfirm.x=161&Comfirm.y=30");
    EXPECT_EQ(posts[0].header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(posts[0].cookie(StandInService::kSessionCookie), service().lastSession());
    EXPECT_TRUE(desktop.boxes().empty());
}

TEST_F(LinkStep, ValuesGoUnescapedAndSpacesInsideStay)
{
    values.App_FileId = "1 2&3";
    values.App_HashKey = "h+/=";
    window.type(Control::编辑框_验证码, " 12 34 ");
    Resolve_LinkStep(values, window);

    const std::vector<RecordedRequest> posts = requestsTo("/guest_loginV2.php");
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].body, "file_id=1 2&3&hash_key=h+/=&randcode=12 34&Comfirm.x=161&Comfirm.y=30");
}

TEST_F(LinkStep, PressedTwicePostsTheSameBodyTwice)
{
    captchaStepAndTypeCode("7");
    Resolve_LinkStep(values, window);
    Resolve_LinkStep(values, window);

    const std::vector<RecordedRequest> posts = requestsTo("/guest_loginV2.php");
    ASSERT_EQ(posts.size(), 2u);
    EXPECT_EQ(posts[0].body, posts[1].body);
    EXPECT_EQ(window.text(Control::编辑框_普通下载), Text(service().normalLinkFor("7")));
}

TEST_F(LinkStep, WrongCaptchaTellsTheUserAndEmptiesBothBoxes)
{
    captchaStepAndTypeCode("23075823");
    const std::string code = service().lastCaptchaCode();
    window.type(Control::编辑框_验证码, Text(code == "0000" ? "1111" : "0000"));
    Resolve_LinkStep(values, window);

    expectWrongCaptchaMessage();
    EXPECT_EQ(window.text(Control::编辑框_普通下载), Text());
    EXPECT_EQ(window.text(Control::编辑框_迅雷下载), Text());
    // The message comes before the boxes are written.
    ASSERT_EQ(window.calls("write").size(), 3u);  // the captcha box, then the two result boxes
}

TEST_F(LinkStep, WithoutTheSessionTheServiceRefuses)
{
    captchaStepAndTypeCode("23075823");
    service().forgetSessions();
    Resolve_LinkStep(values, window);

    expectWrongCaptchaMessage();
    EXPECT_EQ(window.text(Control::编辑框_普通下载), Text());
}

struct ReplyCase
{
    const char* name;
    std::string reply;
    bool message;
    std::string normal;   // 编辑框_普通下载 afterwards
    std::string thunder;  // 编辑框_迅雷下载 afterwards
};

void PrintTo(const ReplyCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

class LinkStepReply : public LinkStep, public ::testing::WithParamInterface<ReplyCase>
{};

TEST_P(LinkStepReply, IsCutByTheMarkers)
{
    replyWith(GetParam().reply);
    window.type(Control::编辑框_验证码, "1234");
    Resolve_LinkStep(values, window);

    if (GetParam().message) {
        expectWrongCaptchaMessage();
    } else {
        EXPECT_TRUE(desktop.boxes().empty());
    }
    EXPECT_EQ(window.text(Control::编辑框_普通下载), Text(GetParam().normal));
    EXPECT_EQ(window.text(Control::编辑框_迅雷下载), Text(GetParam().thunder));
}

// "迅雷不限速下载" in UTF-8, as the service sends it.
const std::string kThunderLabel = "\xE8\xBF\x85\xE9\x9B\xB7\xE4\xB8\x8D\xE9\x99\x90\xE9\x80\x9F\xE4\xB8\x8B\xE8\xBD\xBD";

std::string normalAnchor(const std::string& base64, const std::string& anchor = "<a class=\"local\" href=\"")
{
    return anchor + base64 + "\" id=\"local_free_download\">x</a>\n";
}

std::string thunderAnchor(const std::string& link)
{
    return "<a thunderHref=\"" + link + "\">" + kThunderLabel + "</a>\n";
}

INSTANTIATE_TEST_SUITE_P(
    Replies, LinkStepReply,
    ::testing::Values(
        ReplyCase{"BothLinks", normalAnchor("aHR0cDovL2EvYg==") + thunderAnchor("thunder://QUFaWg=="), false,
                  "http://a/b", "thunder://QUFaWg=="},
        ReplyCase{"MarkersInCapitals",
                  normalAnchor("aHR0cDovL2EvYg==", "<a CLASS=\"local\" HREF=\"") +
                      "<a THUNDERHREF=\"thunder://QUFaWg==\">" + kThunderLabel + "</a>\n",
                  false, "http://a/b", "thunder://QUFaWg=="},
        ReplyCase{"NoNormalLink", thunderAnchor("thunder://QUFaWg=="), true, "", "thunder://QUFaWg=="},
        ReplyCase{"NoLinks", "<p>error</p>", true, "", ""},
        ReplyCase{"EmptyReply", "", true, "", ""},
        ReplyCase{"NoThunderLinkIsNoError", normalAnchor("aHR0cDovL2EvYg=="), false, "http://a/b", ""},
        // Five bytes between the markers are too few: the message, yet the decoded bytes are shown.
        ReplyCase{"FiveBytes", normalAnchor("YWJj="), true, "abc", ""},
        ReplyCase{"SixBytes", normalAnchor("YWJjZA"), false, "abcd", ""},
        // "http://a" NUL "b": the box shows the text up to the NUL.
        ReplyCase{"NulInTheDecodedLink", normalAnchor("aHR0cDovL2EAYg=="), false, "http://a", ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace murrel::test
