// The captcha step: file id, key, captcha picture and hash value from the share link.
#include "picture/picture_fetch.h"
#include "resolve/random_number.h"
#include "resolve/steps.h"
#include "textutil/codepage.h"
#include "textutil/cutting.h"
#include "textutil/process_events.h"
#include "textutil/text_ops.h"
#include "web/direct_request.h"
#include "web/fetch_with_timeout.h"

namespace murrel {
namespace {

const Text kKeyPattern("key=\\w{32}");
const Text kHashPattern("value=\"(.{30,})\"/>");
constexpr int kKeyLength = 32;
constexpr int kRandomLow = 111111;
constexpr int kRandomHigh = 999999;
constexpr int kPictureTimeoutSeconds = 2;

}  // namespace

void Resolve_CaptchaStep(ProgramValues& values, WindowPort& window)
{
    // The captcha box is emptied and focused before any request, so the user can type while waiting.
    window.writeText(Control::编辑框_验证码, Text());
    window.setFocus(Control::编辑框_验证码);

    // The file id is cut from the link as typed, spaces and all.
    values.App_FileId = Text_AfterLast(window.readText(Control::编辑框_下载地址), "/");

    Text fetchAddress = trimBoth(window.readText(Control::编辑框_下载地址));
    const Bytes pageBytes = Web_FetchWithTimeout(fetchAddress);
    // A closed window ends the program: the step returns without touching its controls again.
    if (shuttingDown()) {
        return;
    }
    const Text page = Code_Utf8BytesToGbk(pageBytes);
    values.App_Regex.Search(kKeyPattern, page);
    const Text keyMatch = values.App_Regex.MatchText(1);
    const Text captchaKey = right(keyMatch, kKeyLength);

    const Text randomNumber = intToText(Random_Between(kRandomLow, kRandomHigh));
    const Text captchaAddress = join({"http://", serviceHost(), "/randcodeV2_downurl.php?fid=", values.App_FileId,
                                      "&key=", captchaKey, "&rand=0.2555826495", randomNumber});
    Text droppedHeaders;
    const Bytes picture = Picture_Fetch(captchaAddress, Text(), droppedHeaders, std::nullopt, kPictureTimeoutSeconds);
    if (shuttingDown()) {
        return;
    }
    window.setPicture(Control::图片框1, picture);

    Text hashAddress = window.readText(Control::编辑框_下载地址);
    Text hashPage = Web_FetchText(hashAddress);
    if (shuttingDown()) {
        return;
    }
    values.App_HashPage = std::move(hashPage);
    window.setEnabled(Control::按钮_获取下载地址, true);

    values.App_Regex.Search(kHashPattern, values.App_HashPage);
    values.App_HashKey = values.App_Regex.SubMatchText(1, 1);
}

}  // namespace murrel
