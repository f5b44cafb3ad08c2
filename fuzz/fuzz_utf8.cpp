// Fuzzes the UTF-8 conversions into GBK against a plain ICU conversion of the whole text, and the GBK to
// UTF-16 way back with its byte offsets.
#include "fuzz/fuzz_require.h"
#include "textutil/codepage.h"

#include <unicode/normalizer2.h>
#include <unicode/ucnv.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace murrel;

using murrel::fuzz::require;

// The whole text through UTF-16 in one piece, with no ASCII shortcuts.
std::string reference(std::string_view utf8, bool compose)
{
    icu::UnicodeString wide = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
    UErrorCode error = U_ZERO_ERROR;
    if (compose) {
        wide = icu::Normalizer2::getNFCInstance(error)->normalize(wide, error);
    }
    static UConverter* gbk = [] {
        UErrorCode openError = U_ZERO_ERROR;
        UConverter* converter = ucnv_open("windows-936-2000", &openError);
        ucnv_setSubstChars(converter, "?", 1, &openError);
        return converter;
    }();
    std::string out(static_cast<std::size_t>(wide.length()) * 2 + 8, '\0');
    const int32_t length = ucnv_fromUChars(gbk, out.data(), static_cast<int32_t>(out.size()), wide.getBuffer(),
                                           wide.length(), &error);
    require(U_SUCCESS(error));
    out.resize(static_cast<std::size_t>(length));
    return out.substr(0, out.find('\0'));
}

// The ASCII shortcuts of GBK to UTF-16 give what ICU gives for the whole text (by way of Code_ToWide).
void checkGbkToUtf16(const Text& gbk)
{
    const std::u16string units = gbkToUtf16(gbk);
    const Bytes wide = Code_ToWide(gbk, kCodePageGbk);
    require(wide.size() == 2 * (units.size() + 1));
    for (std::size_t i = 0; i < units.size(); ++i) {
        require(units[i] == static_cast<char16_t>(wide.at(2 * i) | wide.at(2 * i + 1) << 8));
    }
    const std::vector<std::size_t> offsets = gbkUnitOffsets(gbk);
    require(offsets.size() == units.size() + 1 && offsets.back() == gbk.size());
    for (std::size_t i = 0; i + 1 < offsets.size(); ++i) {
        require(offsets[i] < offsets[i + 1]);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string_view upToNul = bytes.substr(0, bytes.find('\0'));

    require(Code_Utf8BytesToGbk(Bytes(bytes)).str() == reference(upToNul, true));

    const Text text(bytes);
    const Text gbk = Code_Utf8ToGbk(text);
    require(gbk.str() == reference(upToNul, false));
    require(gbk == Code_FromWide(Code_ToWide(text), kCodePageGbk));

    // What the conversion wrote is GBK that comes back unchanged.
    require(utf16ToGbk(gbkToUtf16(gbk)) == gbk);
    checkGbkToUtf16(gbk);
    checkGbkToUtf16(text);
    return 0;
}
