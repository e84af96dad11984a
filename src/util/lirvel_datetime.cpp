#include "util/lirvel_datetime.h"

#include <charconv>
#include <cmath>

namespace {

// 30 December 1899. A constant, so that stamps can be encoded during static initialisation too.
constexpr QDate DayZero = QDate::fromJulianDay(2415019);

} // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second)
{
    const qint64 days = DayZero.daysTo(QDate(year, month, day));
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

TDateTime UnixTimeToDateTime(std::time_t t)
{
    std::tm local{};
    localtime_r(&t, &local);
    return EncodeDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                          local.tm_sec);
}

QDate DateOf(TDateTime value)
{
    // Before day 0 the whole part runs towards zero while the fraction stays the time of day.
    return DayZero.addDays(static_cast<qint64>(std::trunc(value)));
}

std::string DateTimeToText(TDateTime value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (result.ec != std::errc())
        return {};
    return std::string(buffer, result.ptr);
}

TDateTime TextToDateTime(std::string_view text)
{
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value))
        return 0;
    return value;
}
