// Process-wide set-up and wind-down of web access.
#include "web/web_init.h"

#include "web/cookie_store.h"
#include "web/worker_thread.h"

#include <curl/curl.h>

#include <mutex>

namespace murrel {

void Web_Init()
{
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        (void)CookieStore::shared();
    });
}

bool Web_Shutdown(std::chrono::milliseconds wait)
{
    return Thread_StopAll(wait);
}

}  // namespace murrel
