#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The text-to-integer conversion of the configuration file: leading blanks or tabs, an optional
// sign, then decimal digits, or hexadecimal after "$", "x" or "0x", octal after "&", binary after
// "%". Nothing may follow, and the value must fit a signed 32-bit integer.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// The same, failing with an EConvertError that names the text.
std::int32_t StrToInt(std::string_view text);
