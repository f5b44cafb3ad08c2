// A background request: the record goes to a worker thread while the calling thread waits, keeping
// the window responsive, until the worker ends or the time-out passes.
#include "web/fetch_with_timeout.h"

#include "textutil/process_events.h"
#include "textutil/text_ops.h"
#include "web/request_record.h"
#include "web/request_worker.h"
#include "web/worker_thread.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <memory>

namespace murrel {
namespace {

// "超时返回，指定网站不能访问，或者你的网络出现问题，你可以把参数中的＂超时返回＂的值设置长一些。"
const Text kTimeoutMessage(
    "\xB3\xAC\xCA\xB1\xB7\xB5\xBB\xD8\xA3\xAC\xD6\xB8\xB6\xA8\xCD\xF8\xD5\xBE\xB2\xBB\xC4\xDC\xB7\xC3\xCE\xCA"
    "\xA3\xAC\xBB\xF2\xD5\xDF\xC4\xE3\xB5\xC4\xCD\xF8\xC2\xE7\xB3\xF6\xCF\xD6\xCE\xCA\xCC\xE2\xA3\xAC\xC4\xE3"
    "\xBF\xC9\xD2\xD4\xB0\xD1\xB2\xCE\xCA\xFD\xD6\xD0\xB5\xC4\xA3\xA2\xB3\xAC\xCA\xB1\xB7\xB5\xBB\xD8\xA3\xA2"
    "\xB5\xC4\xD6\xB5\xC9\xE8\xD6\xC3\xB3\xA4\xD2\xBB\xD0\xA9\xA1\xA3");

constexpr int kDefaultTimeoutSeconds = 60;

// `超时返回` seconds as milliseconds, held to the signed 32-bit range the time-out is counted in.
std::chrono::milliseconds timeoutOf(std::optional<int> seconds)
{
    const std::int64_t milliseconds = std::int64_t{seconds.value_or(kDefaultTimeoutSeconds)} * 1000;
    return std::chrono::milliseconds(std::clamp<std::int64_t>(milliseconds, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

Bytes Web_FetchWithTimeout(Text& url, std::optional<int> method, const std::optional<Text>& proxy,
                           const std::optional<Text>& extraHeaders, const std::optional<Bytes>& postData,
                           const std::optional<Text>& cookies, std::optional<int> 超时返回, Text* returnedHeaders,
                           std::optional<int> decodeType, Text* returnedCookies, std::optional<bool> redirectsAllowed)
{
    if (trimBoth(url).empty()) {
        return {};
    }
    if (!hasHttpScheme(url)) {
        url = "http://" + url;
    }

    RequestRecord record;
    record.field(1) = textToBytes(url);
    record.field(2) = textToBytes(method == kMethodPost ? "POST" : "GET");
    record.field(3) = textToBytes(proxy.value_or(Text()));
    record.field(4) = textToBytes(extraHeaders.value_or(Text()));
    record.field(5) = postData.value_or(Bytes());
    record.field(6) = textToBytes(cookies.value_or(Text()));
    record.field(7) = textToBytes(boolToText(redirectsAllowed.value_or(true)));

    // The worker owns its own reference to the file: after a time-out it may still write into it,
    // but never into anything of the caller's.
    auto file = std::make_shared<MemoryFile>();
    writeRecord(*file, record);
    std::optional<WorkerThread> worker =
        Thread_Start([file](const std::atomic<bool>& stop) { Web_RequestWorker(*file, &stop); });
    if (!worker) {
        return {};
    }
    const Clock::time_point start = Clock::now();
    const std::chrono::milliseconds timeout = timeoutOf(超时返回);

    // One wait; a false return before the deadline means the window is closing, which ends the
    // request as a time-out does. An end that comes when the time is up counts as a time-out too.
    bool ended = timeout.count() > 0 && waitForSignal(worker->finished(), start + timeout);
    if (Clock::now() - start >= timeout) {
        ended = false;
    }
    Thread_Kill(*worker);
    if (!ended) {
        return textToBytes(kTimeoutMessage);
    }

    file->seekToStart();
    const std::optional<RequestRecord> result = readRecord(*file);
    if (!result) {
        return {};
    }
    if (returnedHeaders) {
        *returnedHeaders = result->text(6);
    }
    if (returnedCookies) {
        *returnedCookies = result->text(2);
    }
    return decodeBody(result->field(1), decodeType);
}

}  // namespace murrel
