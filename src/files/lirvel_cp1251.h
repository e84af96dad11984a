#pragma once

#include <string>
#include <string_view>

// Appends the UTF-8 form of Windows-1251 text to out. Bytes below 0x80 are copied as they are;
// 0x98, which the code page leaves unassigned, is dropped.
void AppendCp1251AsUtf8(std::string_view text, std::string& out);

inline std::string Cp1251ToUtf8(std::string_view text)
{
    std::string out;
    AppendCp1251AsUtf8(text, out);
    return out;
}
