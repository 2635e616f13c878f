#pragma once
// Builders of the byte layouts the tag tests feed to the readers.
#include <cstdint>
#include <string>

namespace tagbytes {

inline std::string Be32(std::uint32_t v)
{
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}
inline std::string Le32(std::uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

// An ID3v2 header: marker, version 3.0, flags, a tag-size field the reader ignores.
inline std::string Id3Header(unsigned char flags = 0, const std::string& marker = "ID3")
{
    return marker + std::string("\x03\x00", 2) + char(flags) + std::string("\x00\x00\x07\x76", 4);
}
// A frame with a plain big-endian size; `content` starts with the encoding byte.
inline std::string Frame(const std::string& id, const std::string& content)
{
    return id + Be32(static_cast<std::uint32_t>(content.size())) + std::string(2, '\0') + content;
}
inline std::string Latin1(const std::string& id, const std::string& text)
{
    return Frame(id, std::string(1, '\0') + text);
}

// A Kazaa metadata block: head, download name, second text, 139 bytes, the
// item count, then `items`; and the 10-byte trailer that announces `length`.
inline std::string KazaaBlock(const std::string& name, std::uint32_t count, const std::string& items,
                              std::uint32_t one = 1)
{
    return std::string("\x11\x22\x33\x44", 4) + Le32(one) + name + '\0' + "second text" + '\0' +
           std::string(139, '\x5a') + Le32(count) + items;
}
inline std::string KazaaItem(std::uint32_t type, const std::string& value)
{
    return Le32(type) + Le32(static_cast<std::uint32_t>(value.size())) + value;
}
inline std::string KazaaTrailer(int length, const std::string& marker = "KAZA")
{
    return marker + char(length & 0xff) + char((length >> 8) & 0xff) + std::string(4, '\x01');
}

}  // namespace tagbytes
