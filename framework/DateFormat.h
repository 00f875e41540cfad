// Date and time text by format letters, in the user's locale: the letters a user picks
// for the date and time variables of a signature, and reading back a date written in
// the locale's short date format.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

// Formats a local date and time. Letters (any letter case):
//   d dd        day of the month without / with a leading zero
//   m mm        month number without / with a leading zero
//   mmm mmmm    the locale's short / long month name
//   yy yyyy     year in two / four digits
//   h hh        hour without / with a leading zero (12-hour when "am/pm" follows)
//   n nn        minute, s ss second, without / with a leading zero
//   am/pm       "am" before noon, "pm" from noon on
//   t tt        the whole time in the locale's short / long time format
//   / :         the locale's date / time separator
// Every other character stands for itself.
std::string FormatDateTime(const std::string& format, const SYSTEMTIME& time,
                           LCID locale = LOCALE_USER_DEFAULT);

// The date part of a text in the locale's short date format (the order of day, month
// and year and the separator are the locale's; two-digit years fall in 1950 to 2049).
// A text that is no valid date raises EConvertError "'%s' is not a valid date".
SYSTEMTIME StrToDate(const std::string& text, LCID locale = LOCALE_USER_DEFAULT);

// A date in the locale's short date format, as the program stores the date of a save.
std::string DateToStr(const SYSTEMTIME& date, LCID locale = LOCALE_USER_DEFAULT);

// Today's date in the user's short date format, and the time of day in the user's time
// format.
std::string DateToStr();
std::string TimeToStr();

} // namespace fw
