// Fuzzes the Big5 conversion and the simplification: valid GBK out, length bounds, lengths kept.
#include "fuzz/fuzz_require.h"
#include "textutil/codepage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace murrel;

using murrel::fuzz::require;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Text text(std::string_view(reinterpret_cast<const char*>(data), size));

    // Each Big5 byte gives at most one character of at most two GBK bytes, all of them valid GBK.
    const Text gbk = Code_Big5ToGbk(text);
    require(gbk.size() <= 2 * text.size());
    require(gbkToUtf16(gbk).find(u'\uFFFD') == std::u16string::npos);
    require(utf16ToGbk(gbkToUtf16(gbk)) == gbk);

    // Simplifying any bytes keeps their length and never touches ASCII.
    const Text simplified = Code_ToSimplified(text);
    require(simplified.size() == text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.at(i) < 0x80 && (i == 0 || text.at(i - 1) < 0x81 || text.at(i - 1) == 0xFF)) {
            require(simplified.at(i) == text.at(i));
        }
    }

    const Bytes wide = Code_ToWide(text, kCodePageBig5);
    require(wide.size() % 2 == 0 && wide.size() >= 2);
    (void)Code_FromWide(wide, kCodePageBig5);
    return 0;
}
