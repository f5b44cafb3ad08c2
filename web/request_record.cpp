// The private form of a request record in a memory file: "count\n", then per field "length\n" and
// its bytes. Lengths make it safe for bytes that hold line feeds and NULs.
#include "web/request_record.h"

#include <charconv>
#include <string>

namespace murrel {
namespace {

// A record never holds more fields than this; a larger count means the bytes are not a record.
constexpr std::size_t kMaxFields = 64;

std::optional<std::size_t> readNumberLine(MemoryFile& file)
{
    if (file.atEnd()) {
        return std::nullopt;
    }
    const Bytes line = file.readLine();
    const std::string_view digits = line.view();
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

void writeRecord(MemoryFile& file, const RequestRecord& record)
{
    std::string form = std::to_string(RequestRecord::kFieldCount) + "\n";
    for (int number = 1; number <= RequestRecord::kFieldCount; ++number) {
        form += std::to_string(record.field(number).size()) + "\n";
        form += record.field(number).view();
    }
    file.writeBytes(form);
}

std::optional<RequestRecord> readRecord(MemoryFile& file)
{
    const std::optional<std::size_t> count = readNumberLine(file);
    if (!count || *count > kMaxFields) {
        return std::nullopt;
    }
    RequestRecord record;
    for (std::size_t index = 0; index < *count; ++index) {
        const std::optional<std::size_t> length = readNumberLine(file);
        if (!length) {
            return std::nullopt;
        }
        std::optional<Bytes> bytes = file.readBytes(*length);
        if (!bytes) {
            return std::nullopt;
        }
        if (index < RequestRecord::kFieldCount) {
            record.field(static_cast<int>(index) + 1) = std::move(*bytes);
        }
    }
    return record;
}

}  // namespace murrel
