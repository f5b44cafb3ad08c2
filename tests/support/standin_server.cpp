// The stand-in web host: plain sockets, so that every fault can be sent byte for byte.
#include "tests/support/standin_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <strings.h>
#include <system_error>

namespace murrel::test {
namespace {

constexpr std::size_t kMaxHeadBytes = 1 << 20;
constexpr std::size_t kChunkBytes = 256;

bool equalsIgnoreCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool startsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::string_view trimLeft(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

// The value of `key` in "k1=v1<sep>k2=v2", spaces around items dropped.
std::optional<std::string> pairValue(std::string_view list, char separator, std::string_view key)
{
    while (!list.empty()) {
        const std::size_t end = list.find(separator);
        std::string_view item = trimLeft(list.substr(0, end));
        while (!item.empty() && item.back() == ' ') {
            item.remove_suffix(1);
        }
        const std::size_t equals = item.find('=');
        if (item.substr(0, equals) == key) {
            return std::string(equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1));
        }
        if (end == std::string_view::npos) {
            break;
        }
        list.remove_prefix(end + 1);
    }
    return std::nullopt;
}

std::string gzipCompress(std::string_view data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        return {};
    }
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string chunkedEncode(std::string_view data)
{
    std::string out;
    for (std::size_t at = 0; at < data.size(); at += kChunkBytes) {
        const std::string_view chunk = data.substr(at, kChunkBytes);
        char size[16];
        std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
        out.append(size).append(chunk).append("\r\n");
    }
    return out + "0\r\n\r\n";
}

bool sendAll(int socket, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Reads until `pending` holds at least `wanted` bytes; false at the end of the stream.
bool receiveAtLeast(int socket, std::string& pending, std::size_t wanted)
{
    char buffer[4096];
    while (pending.size() < wanted) {
        const ssize_t got = ::recv(socket, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        pending.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

// Reads one request head and its Content-Length body off the front of `pending`.
std::optional<RecordedRequest> receiveRequest(int socket, std::string& pending)
{
    std::size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
        if (pending.size() > kMaxHeadBytes || !receiveAtLeast(socket, pending, pending.size() + 1)) {
            return std::nullopt;
        }
        // A request starts with its method; anything else (a TLS handshake, say) gets hung up on.
        if (pending.front() < 'A' || pending.front() > 'Z') {
            return std::nullopt;
        }
    }
    RecordedRequest request;
    std::string_view head = std::string_view(pending).substr(0, headEnd);
    std::size_t lineEnd = head.find("\r\n");
    request.requestLine = std::string(head.substr(0, lineEnd));
    while (lineEnd != std::string_view::npos) {
        head.remove_prefix(lineEnd + 2);
        lineEnd = head.find("\r\n");
        request.headerLines.emplace_back(head.substr(0, lineEnd));
    }

    const std::string_view line = request.requestLine;
    const std::size_t firstSpace = line.find(' ');
    const std::size_t lastSpace = line.rfind(' ');
    request.method = std::string(line.substr(0, firstSpace));
    if (firstSpace != std::string_view::npos && lastSpace > firstSpace) {
        request.target = std::string(line.substr(firstSpace + 1, lastSpace - firstSpace - 1));
    }
    std::string_view path = request.target;
    if (startsWithIgnoreCase(path, "http://") || startsWithIgnoreCase(path, "https://")) {
        const std::size_t slash = path.find('/', path.find("//") + 2);
        path = slash == std::string_view::npos ? std::string_view("/") : path.substr(slash);
    }
    const std::size_t question = path.find('?');
    request.path = std::string(path.substr(0, question));
    if (question != std::string_view::npos) {
        request.query = std::string(path.substr(question + 1));
    }

    pending.erase(0, headEnd + 4);
    const std::size_t length = std::strtoull(request.header("Content-Length").value_or("0").c_str(), nullptr, 10);
    if (!receiveAtLeast(socket, pending, length)) {
        return std::nullopt;
    }
    request.body = pending.substr(0, length);
    pending.erase(0, length);
    return request;
}

bool hasHeader(const Response& response, std::string_view name)
{
    return std::any_of(response.headers.begin(), response.headers.end(),
                       [&](const auto& header) { return equalsIgnoreCase(header.first, name); });
}

// The status line and header block, and the body as it goes on the wire.
std::pair<std::string, std::string> encode(const Response& response)
{
    std::string body = response.gzip ? gzipCompress(response.body) : response.body;
    std::vector<std::pair<std::string, std::string>> headers = response.headers;
    if (response.gzip && !hasHeader(response, "Content-Encoding")) {
        headers.emplace_back("Content-Encoding", "gzip");
    }
    if (!hasHeader(response, "Content-Length") && !hasHeader(response, "Transfer-Encoding")) {
        if (response.chunked) {
            headers.emplace_back("Transfer-Encoding", "chunked");
        } else {
            headers.emplace_back("Content-Length", std::to_string(body.size()));
        }
    }
    if (response.chunked) {
        body = chunkedEncode(body);
    }
    std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    for (const auto& [name, value] : headers) {
        head += name + ": " + value + "\r\n";
    }
    return {head + "\r\n", std::move(body)};
}

}  // namespace

struct StandInServer::Connection
{
    int socket = -1;  // guarded by the server's mutex; -1 once closed
    std::atomic<bool> finished{false};
    std::thread thread;
};

std::optional<std::string> RecordedRequest::header(std::string_view name) const
{
    for (const std::string& line : headerLines) {
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos && equalsIgnoreCase(std::string_view(line).substr(0, colon), name)) {
            return std::string(trimLeft(std::string_view(line).substr(colon + 1)));
        }
    }
    return std::nullopt;
}

std::size_t RecordedRequest::headerCount(std::string_view name) const
{
    return static_cast<std::size_t>(std::count_if(headerLines.begin(), headerLines.end(), [&](const std::string& line) {
        const std::size_t colon = line.find(':');
        return colon != std::string::npos && equalsIgnoreCase(std::string_view(line).substr(0, colon), name);
    }));
}

std::optional<std::string> RecordedRequest::cookie(std::string_view name) const
{
    for (const std::string& line : headerLines) {
        if (startsWithIgnoreCase(line, "Cookie:")) {
            if (auto value = pairValue(std::string_view(line).substr(7), ';', name)) {
                return value;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> RecordedRequest::queryValue(std::string_view key) const
{
    return pairValue(query, '&', key);
}

std::optional<std::string> RecordedRequest::formValue(std::string_view key) const
{
    return pairValue(body, '&', key);
}

Response Response::text(std::string body, std::string contentType)
{
    Response response;
    response.body = std::move(body);
    response.headers.emplace_back("Content-Type", std::move(contentType));
    return response;
}

Response Response::redirect(std::string location, int status)
{
    Response response;
    response.status = status;
    response.reason = status == 301 ? "Moved Permanently" : status == 303 ? "See Other" : "Found";
    response.headers.emplace_back("Location", std::move(location));
    return response;
}

Response Response::notHttp(std::string bytes)
{
    Response response;
    response.raw = std::move(bytes);
    return response;
}

Response& Response::header(std::string name, std::string value)
{
    headers.emplace_back(std::move(name), std::move(value));
    return *this;
}

Response& Response::setCookie(std::string cookie)
{
    return header("Set-Cookie", std::move(cookie));
}

StandInServer::StandInServer(std::optional<std::uint16_t> port)
{
    m_listenSocket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenSocket < 0) {
        throw std::system_error(errno, std::generic_category(), "stand-in: socket");
    }
    const int one = 1;
    ::setsockopt(m_listenSocket, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port.value_or(0));
    socklen_t length = sizeof address;
    if (::bind(m_listenSocket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listenSocket, 64) != 0
        || ::getsockname(m_listenSocket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const int error = errno;
        ::close(m_listenSocket);
        throw std::system_error(error, std::generic_category(), "stand-in: cannot listen on 127.0.0.1");
    }
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

StandInServer::~StandInServer()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        ::shutdown(m_listenSocket, SHUT_RDWR);
        for (const auto& connection : m_connections) {
            if (connection->socket >= 0) {
                ::shutdown(connection->socket, SHUT_RDWR);
            }
        }
    }
    m_changed.notify_all();
    m_acceptThread.join();
    for (const auto& connection : m_connections) {
        connection->thread.join();
    }
    ::close(m_listenSocket);
}

std::string StandInServer::hostPort() const
{
    return "127.0.0.1:" + std::to_string(m_port);
}

std::string StandInServer::url(std::string_view path) const
{
    return "http://" + hostPort() + std::string(path);
}

void StandInServer::handle(std::string method, std::string path, Handler handler)
{
    std::lock_guard lock(m_mutex);
    const auto same = [&](const Route& route) { return route.method == method && route.path == path; };
    m_routes.erase(std::remove_if(m_routes.begin(), m_routes.end(), same), m_routes.end());
    m_routes.push_back(Route{std::move(method), std::move(path), std::move(handler)});
}

std::vector<RecordedRequest> StandInServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::size_t StandInServer::requestCount() const
{
    std::lock_guard lock(m_mutex);
    return m_requests.size();
}

bool StandInServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return m_requests.size() >= count; });
}

void StandInServer::clearRequests()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

void StandInServer::acceptLoop()
{
    for (;;) {
        const int socket = ::accept4(m_listenSocket, nullptr, nullptr, SOCK_CLOEXEC);
        const int error = errno;
        std::lock_guard lock(m_mutex);
        if (m_stopping) {
            if (socket >= 0) {
                ::close(socket);
            }
            return;
        }
        if (socket < 0) {
            if (error == EINTR || error == ECONNABORTED) {
                continue;
            }
            return;
        }
        reapFinishedConnections();
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        Connection& started = *connection;
        m_connections.push_back(std::move(connection));
        started.thread = std::thread([this, &started] { serve(started); });
    }
}

void StandInServer::reapFinishedConnections()
{
    for (auto it = m_connections.begin(); it != m_connections.end();) {
        if ((*it)->finished.load()) {
            (*it)->thread.join();
            it = m_connections.erase(it);
        } else {
            ++it;
        }
    }
}

Response StandInServer::answer(const RecordedRequest& request)
{
    Handler handler;
    {
        std::lock_guard lock(m_mutex);
        for (const Route& route : m_routes) {
            const bool methodMatches = route.method == "*" || route.method == request.method;
            const bool pathMatches = !route.path.empty() && route.path.back() == '*'
                                         ? request.path.starts_with(std::string_view(route.path).substr(0, route.path.size() - 1))
                                         : request.path == route.path;
            if (methodMatches && pathMatches) {
                handler = route.handler;
            }
        }
    }
    if (!handler) {
        Response missing = Response::text("not found", "text/plain");
        missing.status = 404;
        missing.reason = "Not Found";
        return missing;
    }
    return handler(request);
}

void StandInServer::serve(Connection& connection)
{
    // Only this thread closes the socket; the mutex keeps the destructor's shutdown off a reused number.
    const int socket = connection.socket;
    std::string pending;
    for (;;) {
        std::optional<RecordedRequest> request = receiveRequest(socket, pending);
        if (!request) {
            break;
        }
        const bool closeAfter = equalsIgnoreCase(request->header("Connection").value_or(""), "close");
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(*request);
        }
        m_changed.notify_all();

        const Response response = answer(*request);
        if (response.stall.count() > 0) {
            std::unique_lock lock(m_mutex);
            if (m_changed.wait_for(lock, response.stall, [&] { return m_stopping; })) {
                break;
            }
        }
        if (response.raw) {
            sendAll(socket, *response.raw);
            break;
        }
        const auto [head, body] = encode(response);
        if (response.closeAfterBodyBytes) {
            sendAll(socket, head);
            sendAll(socket, std::string_view(body).substr(0, *response.closeAfterBodyBytes));
            break;
        }
        if (!sendAll(socket, head) || !sendAll(socket, body) || closeAfter) {
            break;
        }
    }
    {
        std::lock_guard lock(m_mutex);
        ::shutdown(socket, SHUT_RDWR);
        ::close(socket);
        connection.socket = -1;
    }
    connection.finished.store(true);
}

}  // namespace murrel::test
