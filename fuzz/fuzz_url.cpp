// Fuzzes the URL pieces: host, path and port of any text, with the shapes the requests rely on.
#include "fuzz/fuzz_require.h"
#include "textutil/text_ops.h"
#include "web/url_pieces.h"

#include <cstdint>
#include <cstdlib>

namespace {

using namespace murrel;

using murrel::fuzz::require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Text url(std::string_view(reinterpret_cast<const char*>(data), size));

    const Text host = Url_Host(url);
    require(toLower(host) == host);
    require(find(host, "/") == -1 && find(host, ":") == -1);

    const Text path = Url_Path(url);
    require(path.view().starts_with('/'));
    require(path == Text("/") || url.view().ends_with(path.view()));

    (void)Url_Port(url);
    return 0;
}
