// GBK text and counted bytes.
#include "textutil/text.h"

namespace murrel {
namespace {

std::string_view upToNul(std::string_view bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

}  // namespace

Text::Text(const char* bytes) : m_bytes(bytes ? bytes : "") {}

Text::Text(std::string_view bytes) : m_bytes(upToNul(bytes)) {}

Text::Text(std::string&& bytes) : m_bytes(std::move(bytes))
{
    if (auto nul = m_bytes.find('\0'); nul != std::string::npos) {
        m_bytes.resize(nul);
    }
}

Text& Text::operator+=(const Text& other)
{
    m_bytes += other.m_bytes;
    return *this;
}

Bytes textToBytes(const Text& text)
{
    return Bytes(text.view());
}

Text bytesToText(const Bytes& bytes)
{
    return Text(bytes.view());
}

}  // namespace murrel
