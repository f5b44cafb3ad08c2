// Host, path and port as the request routines cut them from a URL.
#include "web/url_pieces.h"

#include <gtest/gtest.h>

#include <string>

namespace murrel {
namespace {

struct UrlCase
{
    const char* name;
    std::string url;
    std::string host;
    std::string path;
    int port;
};

class UrlPiecesTest : public testing::TestWithParam<UrlCase> {};

TEST_P(UrlPiecesTest, CutsHostPathAndPort)
{
    const UrlCase& c = GetParam();
    const Text url(c.url);
    EXPECT_EQ(Url_Host(url), Text(c.host));
    EXPECT_EQ(Url_Path(url), Text(c.path));
    EXPECT_EQ(Url_Port(url), c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Url, UrlPiecesTest,
    testing::Values(
        UrlCase{"Full", "http://WWW.Example.com:81/a/b?k=1", "www.example.com", "/a/b?k=1", 81},
        UrlCase{"BareHost", "Example.COM", "example.com", "/", 80},
        UrlCase{"QueryWithoutPath", "http://example.com?x=1", "example.com?x=1", "/", 80},
        // The scheme removal respects case, so the host is cut at the scheme's colon; the port test does not.
        UrlCase{"CapitalScheme", "HTTP://Example.com:81/a", "http", "//Example.com:81/a", 81},
        UrlCase{"Https", "https://example.com/a", "example.com", "/a", 0},
        UrlCase{"HttpsWithPort", "https://example.com:8443/a", "example.com", "/a", 0},
        UrlCase{"PortNotNumber", "http://example.com:ab/x", "example.com", "/x", 0},
        UrlCase{"PortThenLetters", "http://example.com:81x/", "example.com", "/", 81},
        UrlCase{"EmptyPort", "http://example.com:/", "example.com", "/", 0},
        UrlCase{"NoSchemeWithPort", "Example.com:81/p?q=1", "example.com", "/p?q=1", 81},
        UrlCase{"HostInPath", "http://a.com/x/a.com/y", "a.com", "/x/a.com/y", 80},
        UrlCase{"SchemeInsideRemoved", "http://a.com/go?to=http://b.com/", "a.com", "/go?to=http://b.com/", 80},
        UrlCase{"HugePort", "http://a.com:99999999999/", "a.com", "/", 2147483647},
        UrlCase{"GbkHost", "http://\xD5\xE6.Com/", "\xD5\xE6.com", "/", 80},
        UrlCase{"Empty", "", "", "/", 80}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace murrel
