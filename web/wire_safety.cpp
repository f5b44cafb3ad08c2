// Checks that keep what a caller gives from changing the shape of the request on the wire.
#include "web/wire_safety.h"

#include <string>

namespace murrel {

bool hasLineBreak(const Text& text)
{
    return text.view().find_first_of("\r\n") != std::string_view::npos;
}

bool hasStrayLineBreak(const Text& headers)
{
    const std::string_view text = headers.view();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) {
            return true;
        }
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            return true;
        }
    }
    return false;
}

Text encodeRequestTarget(const Text& target)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(target.size());
    for (const char c : target.view()) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || byte >= 0x80 || byte == '#') {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        } else {
            encoded += c;
        }
    }
    return Text(std::move(encoded));
}

}  // namespace murrel
