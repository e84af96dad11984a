#pragma once

#include <QDate>
#include <ctime>
#include <string>
#include <string_view>

// Local date and time as a count of days since 30 December 1899 (day 0); the fraction is the
// time of day. This is the form the catalogue keeps and stores.
using TDateTime = double;

// A file system time stamp as local time, to the whole second.
TDateTime UnixTimeToDateTime(std::time_t t);
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// The calendar date of a stamp (its whole part; the time of day does not count).
QDate DateOf(TDateTime value);

// General notation with at most 15 significant digits and "." whatever the locale: no trailing
// zeros, no point for a whole number (13 May 2011 14:30:00 is "40676.6041666667").
std::string DateTimeToText(TDateTime value);
// The reverse; the empty text and text that is not a number give 0.
TDateTime TextToDateTime(std::string_view text);
