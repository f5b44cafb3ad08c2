// The program's header defaults: how each request routine completes the caller's header text.
// Every test searches the text with case ignored; every added line goes at its end.
#pragma once

#include "textutil/text.h"

namespace murrel {

// The Accept line both routines add ("\r\n" ended).
extern const Text kDefaultAcceptLine;

// The request worker's completion, in order: the Accept line unless the text holds "Accept" (so an
// Accept-Language line suppresses it); a "RefererNo" marker is removed and no Referer added, else a
// Referer line with `url` unless the text holds "Referer"; "Accept-Language: zh-cn" unless it holds
// "Accept-Language"; for a POST with data, Content-Type and Content-Length lines unless present;
// for a GET or POST with a non-empty cookie text, "Cookie: " the text and a blank line.
[[nodiscard]] Text completeWorkerHeaders(const Text& headers, const Text& url, const Text& method,
                                         std::size_t postDataBytes, const Text& cookies);

// `网页_访问`'s completion: the tests look for "Accept: ", "Referer: " and "Accept-Language: " (with
// the space), there is no marker, and a POST with data always gets both Content lines.
[[nodiscard]] Text completeDirectHeaders(const Text& headers, const Text& url, bool post,
                                         std::size_t postDataBytes, const Text& cookies);

}  // namespace murrel
