// An in-memory byte stream with one read/write position.
#pragma once

#include "textutil/text.h"

#include <cstddef>
#include <optional>
#include <string>

namespace murrel {

class MemoryFile
{
public:
    // Appends the text's bytes at the position, without a NUL and without a line end.
    void writeText(const Text& text);
    // Appends raw bytes at the position.
    void writeBytes(std::string_view bytes);
    void seekToStart() noexcept { m_position = 0; }
    // The bytes up to the next line feed, which is consumed; a CR right before it is dropped.
    // At the end of the data, what remains.
    [[nodiscard]] Bytes readLine();
    // Exactly n bytes from the position, or nothing when fewer remain (the position then stays).
    [[nodiscard]] std::optional<Bytes> readBytes(std::size_t n);
    [[nodiscard]] bool atEnd() const noexcept { return m_position >= m_data.size(); }
    [[nodiscard]] std::size_t size() const noexcept { return m_data.size(); }

private:
    std::string m_data;
    std::size_t m_position = 0;
};

}  // namespace murrel
