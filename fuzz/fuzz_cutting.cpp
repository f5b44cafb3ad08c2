// Fuzzes the three cutting helpers: every piece they cut must come out of the text where they say.
#include "fuzz/fuzz_require.h"
#include "textutil/cutting.h"
#include "textutil/text_ops.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>

namespace {

using namespace murrel;

using murrel::fuzz::require;

std::optional<bool> optionalFlag(FuzzedDataProvider& input)
{
    const auto choice = input.ConsumeIntegralInRange(0, 2);
    return choice == 2 ? std::nullopt : std::optional<bool>(choice == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::optional<bool> flag = optionalFlag(input);
    const bool giveStart = input.ConsumeBool();
    const std::optional<int> start =
        giveStart ? std::optional<int>(input.ConsumeIntegralInRange(-2, 70)) : std::nullopt;
    const Text first(input.ConsumeRandomLengthString(8));
    const Text second(input.ConsumeRandomLengthString(8));
    const Text text(input.ConsumeRemainingBytesAsString());
    const std::string_view t = text.view();

    const Text after = Text_AfterLast(text, first, flag);
    require(t.ends_with(after.view()));

    const Text before = Text_Before(text, first, start, flag);
    require(t.starts_with(before.view()));
    if (!before.empty()) {
        // What follows the cut is the marker itself.
        require(textEquals(mid(text, static_cast<int>(before.size()) + 1, static_cast<int>(first.size())), first,
                           !flag.value_or(false)));
    }

    const Text between = Text_Between(text, first, second, start, flag);
    require(between.size() < t.size() || (between.empty() && t.empty()));
    require(t.find(between.view()) != std::string_view::npos);
    return 0;
}
