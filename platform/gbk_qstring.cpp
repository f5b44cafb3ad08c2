// GBK <-> QString conversion for the window layer, by way of the program's own code-page tables.
#include "platform/gbk_qstring.h"

#include "textutil/codepage.h"

namespace murrel {

QString toQString(const Text& text)
{
    const std::u16string units = gbkToUtf16(text);
    return QString::fromStdU16String(units);
}

Text toGbkText(const QString& string)
{
    return utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(string.utf16()),
                                               static_cast<std::size_t>(string.size())));
}

}  // namespace murrel
