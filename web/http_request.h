// One HTTP request of the HTTP layer, shaped after the platform's calls: open (method, path, flag
// word), send (the header text and the body), read the body in chunks, the raw header block of the
// final response, close (the destructor). It runs on libcurl on the calling thread.
#pragma once

#include "textutil/text.h"
#include "web/http_session.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace murrel {

// A body larger than this ends the request: a server must not be able to exhaust memory.
inline constexpr std::size_t kMaxBodyBytes = std::size_t{64} << 20;

class HttpRequest
{
public:
    // Asked while the request waits for the network; true ends the request at once.
    using StopCheck = std::function<bool()>;

    // Prepares a request with the method word (GET, POST, or another token sent as is), the path with
    // its query (unsafe bytes are percent-encoded) and the flag word (http_flags.h). Empty when the
    // method is not a token or the path holds a line break.
    [[nodiscard]] static std::optional<HttpRequest> open(const HttpConnection& connection, const Text& method,
                                                         const Text& path, std::uint32_t flags,
                                                         StopCheck stop = {});
    HttpRequest(HttpRequest&&) noexcept;
    HttpRequest& operator=(HttpRequest&&) noexcept;
    ~HttpRequest();

    // Sends the header lines (CR LF separated; blank lines are dropped) and, for a POST, the body,
    // then waits for the response to begin. False, with nothing sent, when the header text holds a
    // CR or LF outside a CR LF pair. A failure of the network is not reported here: the body then
    // reads as empty, as far as it came.
    bool send(const Text& headers, std::string_view body = {});

    // Up to `capacity` bytes of the body into `buffer`; 0 at its end, after a failure or a stop.
    [[nodiscard]] std::size_t read(char* buffer, std::size_t capacity);

    // The status line and header lines of the final response as received, each ended by CR LF, and
    // the blank line that ends them; empty when no response came.
    [[nodiscard]] Text rawHeaders() const;

    // True once the body went past kMaxBodyBytes; the request then ended.
    [[nodiscard]] bool bodyTooLarge() const;

private:
    struct Transfer;
    explicit HttpRequest(std::unique_ptr<Transfer> transfer);

    std::unique_ptr<Transfer> m_transfer;
};

}  // namespace murrel
