// The request flag word of the HTTP layer, with the platform's bit values (names in the comments).
#pragma once

#include <cstdint>

namespace murrel {

// INTERNET_FLAG_RELOAD: always set by the routines; nothing to emulate (there is no cache to bypass).
inline constexpr std::uint32_t kFlagReload = 0x80000000;
// INTERNET_FLAG_NEED_FILE: always set by the request worker; nothing to emulate.
inline constexpr std::uint32_t kFlagNeedFile = 0x00000010;
// INTERNET_FLAG_NO_COOKIES: sends no stored cookie and lets the response store none by itself.
inline constexpr std::uint32_t kFlagNoCookies = 0x00080000;
// INTERNET_FLAG_NO_AUTO_REDIRECT: follows no redirect; the redirect response itself is the result.
inline constexpr std::uint32_t kFlagNoAutoRedirect = 0x00200000;
// INTERNET_FLAG_SECURE: speaks TLS to the port given.
inline constexpr std::uint32_t kFlagSecure = 0x00800000;
// INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTPS: set by the request worker for plain requests; nothing to emulate.
inline constexpr std::uint32_t kFlagIgnoreRedirectToHttps = 0x00004000;

}  // namespace murrel
