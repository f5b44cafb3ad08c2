// The internet session and the connection of the HTTP layer.
#include "web/http_session.h"

#include "web/web_init.h"
#include "web/wire_safety.h"

#include <algorithm>

namespace murrel {
namespace {

bool isHostNameByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_';
}

}  // namespace

HttpSession::HttpSession(Text agent, std::optional<Text> httpProxy)
    : m_agent(std::move(agent)), m_httpProxy(std::move(httpProxy))
{
}

std::optional<HttpSession> HttpSession::open(const Text& agent, const std::optional<Text>& httpProxy)
{
    Web_Init();
    if (hasLineBreak(agent) || (httpProxy && hasLineBreak(*httpProxy))) {
        return std::nullopt;
    }
    return HttpSession(agent, httpProxy);
}

HttpConnection::HttpConnection(HttpSession session, Text host, int port)
    : m_session(std::move(session)), m_host(std::move(host)), m_port(port)
{
}

std::optional<HttpConnection> HttpConnection::connect(const HttpSession& session, const Text& host, int port)
{
    const std::string_view name = host.view();
    if (name.empty() || !std::all_of(name.begin(), name.end(), isHostNameByte) || port < 0 || port > 65535) {
        return std::nullopt;
    }
    return HttpConnection(session, host, port);
}

}  // namespace murrel
