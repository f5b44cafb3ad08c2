// The link step: post the typed captcha and cut the two download links out of the reply.
#include "msgbox/window_system.h"
#include "resolve/steps.h"
#include "textutil/base64.h"
#include "textutil/codepage.h"
#include "textutil/cutting.h"
#include "textutil/process_events.h"
#include "textutil/text_ops.h"
#include "web/fetch_with_timeout.h"

namespace murrel {
namespace {

const Text kNormalFirst("<a class=\"local\" href=\"");
const Text kNormalSecond("\" id=\"local_free");
const Text kThunderFirst("thunderHref=\"");
const Text kThunderSecond("\">\xD1\xB8\xC0\xD7\xB2\xBB\xCF\xDE\xCB\xD9\xCF\xC2\xD4\xD8");  // "\">迅雷不限速下载"
const Text kWrongCaptcha(  // "验证码输入有误，请重新输入！"
    "\xD1\xE9\xD6\xA4\xC2\xEB\xCA\xE4\xC8\xEB\xD3\xD0\xCE\xF3\xA3\xAC\xC7\xEB\xD6\xD8\xD0\xC2\xCA\xE4\xC8\xEB\xA3\xA1");
const Text kInformation("\xD0\xC5\xCF\xA2\xA3\xBA");  // "信息："
// Anything shorter between the markers cannot be a download link.
constexpr std::size_t kShortestLink = 6;

void showWrongCaptcha()
{
    if (WindowSystem* system = installedWindowSystem()) {
        (void)system->messageBox(0, kWrongCaptcha, kInformation, kMbTaskModal | kMbOk);
    }
}

}  // namespace

void Resolve_LinkStep(ProgramValues& values, WindowPort& window)
{
    const Text typed = trimBoth(window.readText(Control::编辑框_验证码));
    // The values go into the body as they are, unescaped.
    const Bytes body = textToBytes(join({"file_id=", values.App_FileId, "&hash_key=", values.App_HashKey,
                                         "&randcode=", typed, "&Comfirm.x=161&Comfirm.y=30"}));
    Text formAddress = join({"http://", serviceHost(), "/guest_loginV2.php"});
    const Bytes replyBytes = Web_FetchWithTimeout(formAddress, kMethodPost, std::nullopt, std::nullopt, body);
    // A closed window ends the program: the step returns without touching its controls again.
    if (shuttingDown()) {
        return;
    }
    const Text reply = Code_Utf8BytesToGbk(replyBytes);

    const Text normalLink = Text_Between(reply, kNormalFirst, kNormalSecond);
    // A wrong captcha is told, and the step still goes on, so the boxes lose the links of an earlier run.
    if (normalLink.size() < kShortestLink) {
        showWrongCaptcha();
    }
    const Text thunderLink = Text_Between(reply, kThunderFirst, kThunderSecond);
    const Text decodedLink = bytesToText(Code_Base64Decode(normalLink));
    if (shuttingDown()) {
        return;
    }
    window.writeText(Control::编辑框_普通下载, decodedLink);
    window.writeText(Control::编辑框_迅雷下载, thunderLink);
}

}  // namespace murrel
