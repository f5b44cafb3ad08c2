// The one cookie store of the process, shared by every request on every thread: libcurl's share
// interface, locked per data kind. It lives in memory for the run.
#pragma once

#include "textutil/text.h"

#include <curl/curl.h>

#include <array>
#include <memory>
#include <mutex>

namespace murrel {

class CookieStore
{
public:
    // The process-wide store. Requests keep a copy of the pointer, so a request that outlives the
    // program's own references (an abandoned worker at exit) never finds the store gone.
    [[nodiscard]] static std::shared_ptr<CookieStore> shared();

    CookieStore();
    ~CookieStore();
    CookieStore(const CookieStore&) = delete;
    CookieStore& operator=(const CookieStore&) = delete;

    // The share handle to attach to an easy handle with CURLOPT_SHARE.
    [[nodiscard]] CURLSH* handle() const noexcept { return m_share; }

private:
    static void lock(CURL*, curl_lock_data data, curl_lock_access, void* self);
    static void unlock(CURL*, curl_lock_data data, void* self);

    // Declared before the handle so that the mutexes outlive it.
    std::array<std::mutex, CURL_LOCK_DATA_LAST> m_locks;
    CURLSH* m_share = nullptr;
};

// Stores a cookie for the host of `url` ("http://" and the host) as a response would: `data` is the
// value followed by any attributes ("1; path=/; expires=..."). Refuses, returning false, a cookie
// without a name, with control bytes, or with a domain attribute that does not cover the host.
bool storeCookie(const Text& url, const Text& name, const Text& data);

}  // namespace murrel
