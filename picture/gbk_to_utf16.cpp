// GBK to UTF-16LE.
#include "picture/gbk_to_utf16.h"

#include "textutil/codepage.h"
#include "textutil/text_ops.h"

namespace murrel {

Bytes Code_GbkToUtf16(const Text& source, std::optional<bool> dropTerminator)
{
    if (source.empty()) {
        return {};
    }
    Bytes wide = Code_ToWide(source, kCodePageGbk);
    if (dropTerminator.value_or(false) && wide.size() >= 2) {
        wide = bytesLeft(wide, static_cast<int>(wide.size()) - 2);
    }
    return wide;
}

}  // namespace murrel
