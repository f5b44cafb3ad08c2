// The two value types every subsystem passes around: GBK text and counted bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace murrel {

// A GBK byte string that ends at its first NUL: a NUL inside the data cuts the text there.
// Lengths and positions count bytes; positions used by the text operations start at 1.
class Text
{
public:
    Text() = default;
    // Literals are texts, so a "GET" or "/" may be passed wherever a Text is wanted.
    Text(const char* bytes);  // NOLINT(google-explicit-constructor)
    explicit Text(std::string_view bytes);
    explicit Text(std::string&& bytes);

    [[nodiscard]] std::string_view view() const noexcept { return m_bytes; }
    [[nodiscard]] const std::string& str() const noexcept { return m_bytes; }
    [[nodiscard]] const char* c_str() const noexcept { return m_bytes.c_str(); }
    [[nodiscard]] std::size_t size() const noexcept { return m_bytes.size(); }
    [[nodiscard]] bool empty() const noexcept { return m_bytes.empty(); }
    // The byte at 0-based index i, as an unsigned value.
    [[nodiscard]] unsigned char at(std::size_t i) const { return static_cast<unsigned char>(m_bytes.at(i)); }

    Text& operator+=(const Text& other);
    friend Text operator+(Text left, const Text& right) { return left += right; }
    friend bool operator==(const Text&, const Text&) = default;

private:
    std::string m_bytes;
};

// A counted byte sequence that may hold NUL bytes.
class Bytes
{
public:
    Bytes() = default;
    explicit Bytes(std::string_view bytes) : m_bytes(bytes) {}
    explicit Bytes(std::string&& bytes) : m_bytes(std::move(bytes)) {}
    Bytes(const std::uint8_t* data, std::size_t size) : m_bytes(reinterpret_cast<const char*>(data), size) {}

    [[nodiscard]] std::string_view view() const noexcept { return m_bytes; }
    [[nodiscard]] const std::string& str() const noexcept { return m_bytes; }
    [[nodiscard]] const std::uint8_t* data() const noexcept
    {
        return reinterpret_cast<const std::uint8_t*>(m_bytes.data());
    }
    [[nodiscard]] std::size_t size() const noexcept { return m_bytes.size(); }
    [[nodiscard]] bool empty() const noexcept { return m_bytes.empty(); }
    [[nodiscard]] unsigned char at(std::size_t i) const { return static_cast<unsigned char>(m_bytes.at(i)); }

    void append(std::string_view bytes) { m_bytes.append(bytes); }
    void append(const Bytes& bytes) { m_bytes.append(bytes.m_bytes); }
    void clear() noexcept { m_bytes.clear(); }

    friend bool operator==(const Bytes&, const Bytes&) = default;

private:
    std::string m_bytes;
};

// The text's bytes without the NUL.
[[nodiscard]] Bytes textToBytes(const Text& text);
// The bytes up to the first NUL byte, or all of them when there is none.
[[nodiscard]] Text bytesToText(const Bytes& bytes);

}  // namespace murrel
