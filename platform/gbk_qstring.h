// The bridge between the program's GBK texts and Qt's strings.
#pragma once

#include "textutil/text.h"

#include <QString>

namespace murrel {

[[nodiscard]] QString toQString(const Text& text);
// Characters that GBK cannot hold become '?'.
[[nodiscard]] Text toGbkText(const QString& string);

}  // namespace murrel
