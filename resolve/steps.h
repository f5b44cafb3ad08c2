// The two user steps against the service: show the captcha for a share link, then turn the typed
// captcha into the two download links.
#pragma once

#include "resolve/program_values.h"
#include "resolve/window_port.h"

namespace murrel {

// The service's web host (a build setting; a test build points it at the stand-in on 127.0.0.1).
[[nodiscard]] const Text& serviceHost();

// Click handler of 按钮_获取验证码.
void Resolve_CaptchaStep(ProgramValues& values, WindowPort& window);
// Click handler of 按钮_获取下载地址.
void Resolve_LinkStep(ProgramValues& values, WindowPort& window);

}  // namespace murrel
