// The fuzz targets' property check: a broken property aborts, which libFuzzer reports as a crash.
#pragma once

#include <cstdlib>

namespace murrel::fuzz {

inline void require(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

}  // namespace murrel::fuzz
