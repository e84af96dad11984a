#include "util/lirvel_strtoint.h"

#include "util/lirvel_errors.h"

#include <limits>
#include <string>

namespace {

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    return 99;
}

} // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size()) {
        const char c = text[i];
        if (c == '$' || c == 'x' || c == 'X') {
            base = 16;
            ++i;
        } else if (c == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
            base = 16;
            i += 2;
        } else if (c == '&') {
            base = 8;
            ++i;
        } else if (c == '%') {
            base = 2;
            ++i;
        }
    }
    if (i >= text.size())
        return std::nullopt;

    // Accumulate as a magnitude wide enough for the most negative value.
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= base)
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > limit)
            return std::nullopt;
    }
    if (negative)
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    return static_cast<std::int32_t>(value);
}

std::int32_t StrToInt(std::string_view text)
{
    if (const auto value = TryStrToInt(text))
        return *value;
    throw EConvertError("\"" + std::string(text) + "\" не является целым числом");
}
