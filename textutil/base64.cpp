// Base64 decoding of the normal download link, one four-character group at a time.
#include "textutil/base64.h"

#include "textutil/process_events.h"
#include "textutil/text_ops.h"

#include <array>
#include <cstddef>
#include <string>

namespace murrel {
namespace {

constexpr int kRejected = -1;

// The 6-bit value of each byte in the RFC 4648 alphabet, kRejected for every other byte.
constexpr std::array<int, 256> makeAlphabet()
{
    constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::array<int, 256> values{};
    values.fill(kRejected);
    for (int i = 0; i < 64; ++i) {
        values[static_cast<unsigned char>(kAlphabet[i])] = i;
    }
    return values;
}

constexpr std::array<int, 256> kValues = makeAlphabet();

}  // namespace

Bytes Code_Base64Decode(const Text& text)
{
    const Text cleaned = replaceSub(removeAllSpaces(text), "\r\n", {}, true);
    const std::string_view input = cleaned.view();
    std::string output;
    output.reserve(input.size() / 4 * 3 + 3);

    for (std::size_t groupStart = 0; groupStart < input.size(); groupStart += 4) {
        // Each group starts from zeros; places past the end of the text count as "A" (zero).
        std::array<int, 4> values{};
        int found = 0;
        for (; found < 4; ++found) {
            const std::size_t at = groupStart + static_cast<std::size_t>(found);
            if (at >= input.size()) {
                break;
            }
            const int value = kValues[static_cast<unsigned char>(input[at])];
            if (value == kRejected) {
                break;
            }
            values[static_cast<std::size_t>(found)] = value;
        }
        const bool stopped = found < 4 && groupStart + static_cast<std::size_t>(found) < input.size();

        // A group that stops at a rejected character (the pad "=" in well-formed input) keeps only the
        // bytes that its found values fully determine: none, one or two. This holds for every group,
        // not only the last, so no byte is ever made from a rejected character or an earlier group.
        const std::array<char, 3> bytes{
            static_cast<char>((values[0] << 2) | (values[1] >> 4)),
            static_cast<char>(((values[1] & 0x0F) << 4) | (values[2] >> 2)),
            static_cast<char>(((values[2] & 0x03) << 6) | values[3]),
        };
        const std::size_t kept = stopped ? static_cast<std::size_t>(found > 1 ? found - 1 : 0) : 3;
        output.append(bytes.data(), kept);

        processEvents();
    }
    return Bytes(std::move(output));
}

}  // namespace murrel
