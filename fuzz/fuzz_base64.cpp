// Fuzzes Base64 decoding: arbitrary text must decode within bounds, and encoded bytes must come back.
#include "fuzz/fuzz_require.h"
#include "textutil/base64.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace murrel;

using murrel::fuzz::require;

std::string encode(std::string_view bytes, bool pad)
{
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            group = (group << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0U);
        }
        for (std::size_t k = 0; k < 4; ++k) {
            if (k <= n) {
                out.push_back(kAlphabet[(group >> (18 - 6 * k)) & 0x3F]);
            } else if (pad) {
                out.push_back('=');
            }
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const Text text(bytes);
    const Bytes decoded = Code_Base64Decode(text);
    require(decoded.size() <= (text.size() + 3) / 4 * 3);

    require(Code_Base64Decode(Text(encode(bytes, true))) == Bytes(bytes));

    // Unpadded, the missing places count as zero: the data comes back followed by zero bytes.
    const Bytes unpadded = Code_Base64Decode(Text(encode(bytes, false)));
    require(unpadded.size() == (size + 2) / 3 * 3 && unpadded.view().starts_with(bytes));
    require(unpadded.view().substr(size).find_first_not_of('\0') == std::string_view::npos);
    return 0;
}
