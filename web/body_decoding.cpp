// The decode types of a fetched body, shared by both request routines.
#include "web/body_decoding.h"

#include "textutil/codepage.h"

namespace murrel {

Bytes decodeBody(const Bytes& body, std::optional<int> decodeType)
{
    switch (decodeType.value_or(kDecodeNone)) {
    case kDecodeUtf8:
        return textToBytes(Code_Utf8ToGbk(bytesToText(body)));
    case kDecodeBig5:
        return textToBytes(Code_Big5ToGbk(bytesToText(body)));
    default:
        return body;
    }
}

}  // namespace murrel
