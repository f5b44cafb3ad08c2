// The stand-in service's pages and sessions.
#include "tests/support/standin_service.h"

#include "tests/support/standin_service_picture.h"

#include <chrono>
#include <cstdio>

namespace murrel::test {
namespace {

constexpr std::string_view kWordCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kHexDigits = "0123456789abcdef";
constexpr int kCaptchaDigits = 4;

// FNV-1a: the same file id gives the same key and hash in every run.
std::uint32_t stableHash(std::string_view salt, std::string_view text)
{
    std::uint32_t hash = 2166136261u;
    for (std::string_view part : {salt, text}) {
        for (unsigned char byte : part) {
            hash = (hash ^ byte) * 16777619u;
        }
    }
    return hash;
}

std::string drawFrom(std::string_view alphabet, std::size_t length, std::mt19937& random)
{
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string drawn;
    for (std::size_t i = 0; i < length; ++i) {
        drawn.push_back(alphabet[pick(random)]);
    }
    return drawn;
}

std::string fileIdOfPath(std::string_view path)
{
    return std::string(path.substr(path.find_last_of('/') + 1));
}

Response htmlPage(std::string body)
{
    return Response::text(std::move(body), "text/html; charset=utf-8");
}

Response refused(std::string why)
{
    Response response = Response::text(std::move(why), "text/plain; charset=utf-8");
    response.status = 403;
    response.reason = "Forbidden";
    return response;
}

}  // namespace

StandInService::StandInService(std::optional<std::uint16_t> port)
    : m_random(static_cast<std::mt19937::result_type>(std::chrono::steady_clock::now().time_since_epoch().count())),
      m_server(port)
{
    m_server.handle("GET", "/file/*", [this](const RecordedRequest& r) { return sharePage(r); });
    m_server.handle("GET", "/randcodeV2_downurl.php", [this](const RecordedRequest& r) { return captchaPicture(r); });
    m_server.handle("POST", "/guest_loginV2.php", [this](const RecordedRequest& r) { return guestLogin(r); });
    m_server.handle("GET", "/down/*", [this](const RecordedRequest& r) { return download(r); });
}

std::optional<std::uint16_t> StandInService::programPort()
{
#ifdef MURREL_STANDIN_PORT
    return static_cast<std::uint16_t>(MURREL_STANDIN_PORT);
#else
    return std::nullopt;
#endif
}

std::string StandInService::shareLink(std::string_view fileId) const
{
    return m_server.url("/file/" + std::string(fileId));
}

std::string StandInService::keyFor(std::string_view fileId)
{
    std::mt19937 random(stableHash("key", fileId));
    return drawFrom(kWordCharacters, 32, random);
}

std::string StandInService::hashFor(std::string_view fileId)
{
    std::mt19937 random(stableHash("hash", fileId));
    return drawFrom(kHexDigits, 40, random);
}

std::string StandInService::normalLinkFor(std::string_view fileId) const
{
    const std::string id(fileId);
    return m_server.url("/down/" + id + "/murrel-" + id + ".zip?sign=" + hashFor(fileId).substr(0, 8));
}

std::string StandInService::thunderLinkFor(std::string_view fileId) const
{
    return "thunder://" + base64("AA" + normalLinkFor(fileId) + "ZZ");
}

std::string StandInService::lastCaptchaCode() const
{
    std::lock_guard lock(m_mutex);
    return m_lastCode;
}

std::string StandInService::lastSession() const
{
    std::lock_guard lock(m_mutex);
    return m_lastSession;
}

void StandInService::onCaptchaDrawn(CaptchaObserver observer)
{
    std::lock_guard lock(m_mutex);
    m_observer = std::move(observer);
}

void StandInService::forgetSessions()
{
    std::lock_guard lock(m_mutex);
    m_sessions.clear();
}

std::string StandInService::base64(std::string_view bytes)
{
    static constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (i + 2 < bytes.size()) {
            group |= static_cast<unsigned char>(bytes[i + 2]);
        }
        encoded.push_back(kAlphabet[(group >> 18) & 63]);
        encoded.push_back(kAlphabet[(group >> 12) & 63]);
        encoded.push_back(i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=');
        encoded.push_back(i + 2 < bytes.size() ? kAlphabet[group & 63] : '=');
    }
    return encoded;
}

std::optional<std::string> StandInService::sessionOf(const RecordedRequest& request) const
{
    std::optional<std::string> session = request.cookie(kSessionCookie);
    if (session && m_sessions.contains(*session)) {
        return session;
    }
    return std::nullopt;
}

Response StandInService::sharePage(const RecordedRequest& request)
{
    const std::string fileId = fileIdOfPath(request.path);
    // The hidden inputs stand on lines of their own: the hash value is found by a greedy pattern
    // that reaches to the last "/> of its line.
    Response page = htmlPage(
        "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>\xE6\x96\x87\xE4\xBB\xB6\xE4\xB8\x8B\xE8\xBD\xBD - " + fileId + "</title>\n"  // 文件下载
        "</head>\n<body>\n"
        "<h1>\xE8\xB5\x84\xE6\x96\x99\xE5\x8C\x85-" + fileId + ".zip</h1>\n"  // 资料包
        "<p>\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xA7\xE5\xB0\x8F\xEF\xBC\x9A" "12.5 MB</p>\n"  // 文件大小：
        "<img id=\"randcode\" src=\"/images/loading.gif\"/>\n"
        "<script>var codeUrl = \"/randcodeV2_downurl.php?fid=" + fileId + "&key=" + keyFor(fileId) +
        "&rand=\" + Math.random();</script>\n"
        "<form action=\"/guest_loginV2.php\" method=\"post\">\n"
        "<input type=\"hidden\" name=\"hash_key\" value=\"" + hashFor(fileId) + "\"/>\n"
        "<input type=\"hidden\" name=\"file_id\" value=\"" + fileId + "\"/>\n"
        "\xE9\xAA\x8C\xE8\xAF\x81\xE7\xA0\x81\xEF\xBC\x9A<input type=\"text\" name=\"randcode\" size=\"4\"/>\n"  // 验证码：
        "<input type=\"image\" name=\"Comfirm\" src=\"/images/confirm.gif\"/>\n"
        "</form>\n</body>\n</html>\n");

    std::lock_guard lock(m_mutex);
    if (!sessionOf(request)) {
        const std::string session = drawFrom(kHexDigits, 32, m_random);
        m_sessions[session];
        m_lastSession = session;
        page.setCookie(std::string(kSessionCookie) + "=" + session + "; path=/");
    }
    return page;
}

Response StandInService::captchaPicture(const RecordedRequest& request)
{
    const std::string fileId = request.queryValue("fid").value_or("");
    if (fileId.empty() || request.queryValue("key") != keyFor(fileId)) {
        return refused("wrong file or key");
    }
    std::string code;
    std::string picture;
    CaptchaObserver observer;
    {
        std::lock_guard lock(m_mutex);
        const std::optional<std::string> session = sessionOf(request);
        if (!session) {
            return refused("no session");
        }
        code = drawFrom(kHexDigits.substr(0, 10), kCaptchaDigits, m_random);
        picture = drawCaptchaGif(code, m_random);
        m_sessions[*session][fileId] = code;
        m_lastCode = code;
        observer = m_observer;
    }
    if (observer) {
        observer(fileId, code);
    }
    Response response = Response::text(std::move(picture), "image/gif");
    response.header("Cache-Control", "no-cache");
    return response;
}

Response StandInService::guestLogin(const RecordedRequest& request)
{
    const std::string fileId = request.formValue("file_id").value_or("");
    bool accepted = false;
    {
        std::lock_guard lock(m_mutex);
        if (const std::optional<std::string> session = sessionOf(request)) {
            const auto& codes = m_sessions.at(*session);
            const auto code = codes.find(fileId);
            accepted = code != codes.end() && request.formValue("randcode") == code->second &&
                       request.formValue("hash_key") == hashFor(fileId);
        }
    }
    if (!accepted) {
        return htmlPage("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n</head>\n<body>\n"
                        "<p class=\"error\">\xE9\xAA\x8C\xE8\xAF\x81\xE7\xA0\x81\xE9\x94\x99\xE8\xAF\xAF\xEF\xBC\x8C"
                        "\xE8\xAF\xB7\xE8\xBF\x94\xE5\x9B\x9E\xE9\x87\x8D\xE8\xAF\x95</p>\n"  // 验证码错误，请返回重试
                        "</body>\n</html>\n");
    }
    return htmlPage("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n</head>\n<body>\n"
                    "<div class=\"down\">\n"
                    "<a class=\"local\" href=\"" + base64(normalLinkFor(fileId)) + "\" id=\"local_free_download\">"
                    "\xE6\x99\xAE\xE9\x80\x9A\xE4\xB8\x8B\xE8\xBD\xBD</a>\n"  // 普通下载
                    "<a href=\"javascript:;\" thunderHref=\"" + thunderLinkFor(fileId) + "\">"
                    "\xE8\xBF\x85\xE9\x9B\xB7\xE4\xB8\x8D\xE9\x99\x90\xE9\x80\x9F\xE4\xB8\x8B\xE8\xBD\xBD</a>\n"  // 迅雷不限速下载
                    "</div>\n</body>\n</html>\n");
}

Response StandInService::download(const RecordedRequest& request) const
{
    return Response::text("stand-in download of " + fileIdOfPath(request.path) + "\n", "application/octet-stream");
}

}  // namespace murrel::test
