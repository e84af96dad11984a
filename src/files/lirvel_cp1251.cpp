#include "files/lirvel_cp1251.h"

#include <array>
#include <cstdint>

namespace {

// The characters of bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order.
constexpr std::array<char16_t, 64> Cp1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

struct TUtf8Char
{
    std::uint8_t Size = 0;
    char Bytes[3] = {};
};

constexpr TUtf8Char EncodeUtf8(char16_t c)
{
    TUtf8Char result;
    if (c == 0) {
        return result;
    } else if (c < 0x800) {
        result.Size = 2;
        result.Bytes[0] = static_cast<char>(0xC0 | (c >> 6));
        result.Bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        result.Size = 3;
        result.Bytes[0] = static_cast<char>(0xE0 | (c >> 12));
        result.Bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        result.Bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
    }
    return result;
}

constexpr std::array<TUtf8Char, 128> BuildTable()
{
    std::array<TUtf8Char, 128> table{};
    for (int i = 0; i < 64; ++i)
        table[static_cast<std::size_t>(i)] = EncodeUtf8(Cp1251High[static_cast<std::size_t>(i)]);
    for (int i = 64; i < 128; ++i)
        table[static_cast<std::size_t>(i)] = EncodeUtf8(static_cast<char16_t>(0x0410 + (i - 64)));
    return table;
}

constexpr std::array<TUtf8Char, 128> Utf8Of = BuildTable();

} // namespace

void AppendCp1251AsUtf8(std::string_view text, std::string& out)
{
    // Cyrillic text doubles in size; reserving for that avoids most regrowth.
    out.reserve(out.size() + text.size() * 2);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* ascii = p;
        while (p < end && static_cast<unsigned char>(*p) < 0x80)
            ++p;
        out.append(ascii, static_cast<std::size_t>(p - ascii));
        for (; p < end && static_cast<unsigned char>(*p) >= 0x80; ++p) {
            const TUtf8Char& c = Utf8Of[static_cast<unsigned char>(*p) - 0x80];
            out.append(c.Bytes, c.Size);
        }
    }
}
