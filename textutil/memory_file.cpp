// An in-memory byte stream with one read/write position.
#include "textutil/memory_file.h"

namespace murrel {

void MemoryFile::writeText(const Text& text)
{
    writeBytes(text.view());
}

void MemoryFile::writeBytes(std::string_view bytes)
{
    // Writing at the position overwrites, then extends, as a file does.
    const std::size_t overlap = std::min(bytes.size(), m_data.size() - std::min(m_position, m_data.size()));
    m_data.replace(m_position, overlap, bytes.substr(0, overlap));
    m_data.append(bytes.substr(overlap));
    m_position += bytes.size();
}

Bytes MemoryFile::readLine()
{
    if (atEnd()) {
        return {};
    }
    const std::size_t lineFeed = m_data.find('\n', m_position);
    std::size_t end = lineFeed == std::string::npos ? m_data.size() : lineFeed;
    const std::size_t next = lineFeed == std::string::npos ? m_data.size() : lineFeed + 1;
    if (lineFeed != std::string::npos && end > m_position && m_data[end - 1] == '\r') {
        --end;
    }
    Bytes line(std::string_view(m_data).substr(m_position, end - m_position));
    m_position = next;
    return line;
}

std::optional<Bytes> MemoryFile::readBytes(std::size_t n)
{
    if (m_position > m_data.size() || m_data.size() - m_position < n) {
        return std::nullopt;
    }
    Bytes bytes(std::string_view(m_data).substr(m_position, n));
    m_position += n;
    return bytes;
}

}  // namespace murrel
