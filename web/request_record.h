// The record that carries one background request to its worker and its results back, and its
// private form in the memory file that travels between the two threads.
#pragma once

#include "textutil/memory_file.h"
#include "textutil/text.h"

#include <array>
#include <optional>

namespace murrel {

// Seven fields, numbered from 1 as the routines speak of them:
//   1 URL -> response body        2 method word -> returned cookie text
//   3 proxy                       4 extra header lines
//   5 POST data                   6 cookie text to send -> raw response headers
//   7 "真" when redirects are allowed, "假" when not
struct RequestRecord
{
    static constexpr int kFieldCount = 7;

    [[nodiscard]] Bytes& field(int number) { return m_fields.at(static_cast<std::size_t>(number - 1)); }
    [[nodiscard]] const Bytes& field(int number) const { return m_fields.at(static_cast<std::size_t>(number - 1)); }
    // The field read as a text, up to its first NUL.
    [[nodiscard]] Text text(int number) const { return bytesToText(field(number)); }

private:
    std::array<Bytes, kFieldCount> m_fields;
};

// Writes the record at the file's position: the field count, then each field's length and bytes.
void writeRecord(MemoryFile& file, const RequestRecord& record);

// Reads a record from the file's position. Fields beyond the seventh are dropped and missing ones
// stay empty; empty when the bytes do not hold a record.
[[nodiscard]] std::optional<RequestRecord> readRecord(MemoryFile& file);

}  // namespace murrel
