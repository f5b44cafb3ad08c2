// The first two steps of the HTTP layer, shaped after the platform's calls: an internet session
// (the agent, and a direct connection or the "http=" proxy entry) and a connection to a host and port.
// Nothing goes on the wire until a request on the connection is sent (http_request.h).
#pragma once

#include "textutil/text.h"

#include <optional>

namespace murrel {

class HttpSession
{
public:
    // Opens a session with the agent sent as User-Agent and, when `httpProxy` is given, the host and
    // port of the proxy for plain-HTTP requests (the "http=" entry); secure requests always go direct.
    // A direct session ignores any proxy settings of the environment. Empty when the agent or the
    // proxy holds a line break.
    [[nodiscard]] static std::optional<HttpSession> open(const Text& agent, const std::optional<Text>& httpProxy);

    [[nodiscard]] const Text& agent() const { return m_agent; }
    [[nodiscard]] const std::optional<Text>& httpProxy() const { return m_httpProxy; }

private:
    HttpSession(Text agent, std::optional<Text> httpProxy);

    Text m_agent;
    std::optional<Text> m_httpProxy;
};

class HttpConnection
{
public:
    // Names the host and port of later requests; port 0 stands for the scheme's default port. Empty
    // when the host is not a plain host name or the port is out of range.
    [[nodiscard]] static std::optional<HttpConnection> connect(const HttpSession& session, const Text& host, int port);

    [[nodiscard]] const HttpSession& session() const { return m_session; }
    [[nodiscard]] const Text& host() const { return m_host; }
    [[nodiscard]] int port() const { return m_port; }

private:
    HttpConnection(HttpSession session, Text host, int port);

    HttpSession m_session;
    Text m_host;
    int m_port;
};

}  // namespace murrel
