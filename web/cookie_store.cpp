// The process-wide cookie store over libcurl's share interface.
#include "web/cookie_store.h"

#include "textutil/text_ops.h"
#include "web/url_pieces.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

namespace murrel {
namespace {

struct EasyCleanup
{
    void operator()(CURL* easy) const noexcept { curl_easy_cleanup(easy); }
};

bool hasControlBytes(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool isIpv4(std::string_view host)
{
    return !host.empty() && std::all_of(host.begin(), host.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

// The store's own form of one cookie: libcurl's tab-separated cookie-file line.
struct CookieLine
{
    std::string domain;
    bool tailMatch = false;
    std::string path = "/";
    bool secure = false;
    long long expires = 0;  // 0: a session cookie
    std::string name;
    std::string value;

    [[nodiscard]] std::string format() const
    {
        return domain + '\t' + (tailMatch ? "TRUE" : "FALSE") + '\t' + path + '\t' + (secure ? "TRUE" : "FALSE") + '\t'
               + std::to_string(expires) + '\t' + name + '\t' + value;
    }
};

// Reads the attributes after the value the way a browser reads a Set-Cookie line; false when the
// domain attribute names a domain the host is not in.
bool applyAttributes(CookieLine& cookie, std::string_view attributes, const std::string& host)
{
    bool hasMaxAge = false;
    while (!attributes.empty()) {
        const std::size_t end = attributes.find(';');
        const std::string_view item = trimmed(attributes.substr(0, end));
        attributes.remove_prefix(end == std::string_view::npos ? attributes.size() : end + 1);
        const std::size_t equals = item.find('=');
        const std::string key = toLower(Text(trimmed(item.substr(0, equals)))).str();
        const std::string_view value = equals == std::string_view::npos ? std::string_view() : trimmed(item.substr(equals + 1));
        if (key == "domain" && !value.empty()) {
            std::string domain = toLower(Text(value.front() == '.' ? value.substr(1) : value)).str();
            const bool covers = host == domain
                                || (!isIpv4(host) && host.size() > domain.size() && host.ends_with("." + domain));
            if (!covers) {
                return false;
            }
            cookie.tailMatch = !isIpv4(host);
            cookie.domain = std::move(domain);
        } else if (key == "path" && value.starts_with('/')) {
            cookie.path = std::string(value);
        } else if (key == "secure") {
            cookie.secure = true;
        } else if (key == "max-age") {
            const long long seconds = std::strtoll(std::string(value).c_str(), nullptr, 10);
            cookie.expires = seconds > 0 ? static_cast<long long>(std::time(nullptr)) + seconds : 1;
            hasMaxAge = true;
        } else if (key == "expires" && !hasMaxAge) {
            const time_t when = curl_getdate(std::string(value).c_str(), nullptr);
            cookie.expires = when > 0 ? static_cast<long long>(when) : (when == 0 ? 1 : 0);
        }
    }
    return true;
}

}  // namespace

std::shared_ptr<CookieStore> CookieStore::shared()
{
    static const std::shared_ptr<CookieStore> store = std::make_shared<CookieStore>();
    return store;
}

CookieStore::CookieStore() : m_share(curl_share_init())
{
    curl_share_setopt(m_share, CURLSHOPT_LOCKFUNC, &CookieStore::lock);
    curl_share_setopt(m_share, CURLSHOPT_UNLOCKFUNC, &CookieStore::unlock);
    curl_share_setopt(m_share, CURLSHOPT_USERDATA, this);
    curl_share_setopt(m_share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
}

CookieStore::~CookieStore()
{
    curl_share_cleanup(m_share);
}

void CookieStore::lock(CURL*, curl_lock_data data, curl_lock_access, void* self)
{
    static_cast<CookieStore*>(self)->m_locks.at(static_cast<std::size_t>(data)).lock();
}

void CookieStore::unlock(CURL*, curl_lock_data data, void* self)
{
    static_cast<CookieStore*>(self)->m_locks.at(static_cast<std::size_t>(data)).unlock();
}

bool storeCookie(const Text& url, const Text& name, const Text& data)
{
    CookieLine cookie;
    cookie.domain = Url_Host(url).str();
    cookie.name = std::string(trimmed(name.view()));
    const std::string_view rest = data.view();
    const std::size_t semicolon = rest.find(';');
    cookie.value = std::string(trimmed(rest.substr(0, semicolon)));
    const std::string host = cookie.domain;
    if (host.empty() || cookie.name.empty() || hasControlBytes(host) || hasControlBytes(cookie.name)
        || hasControlBytes(rest)) {
        return false;
    }
    if (semicolon != std::string_view::npos && !applyAttributes(cookie, rest.substr(semicolon + 1), host)) {
        return false;
    }

    const std::shared_ptr<CookieStore> store = CookieStore::shared();
    const std::unique_ptr<CURL, EasyCleanup> easy(curl_easy_init());
    if (!easy) {
        return false;
    }
    curl_easy_setopt(easy.get(), CURLOPT_SHARE, store->handle());
    curl_easy_setopt(easy.get(), CURLOPT_COOKIEFILE, "");
    return curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, cookie.format().c_str()) == CURLE_OK;
}

}  // namespace murrel
