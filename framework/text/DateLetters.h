// Date and time text by format letters, with no system services: the letters a user picks
// for the date and time variables of a signature, over the names and time texts that a
// locale supplies. The program takes them from the Windows locale, the command-line tool
// from the C library's.
#pragma once

#include <functional>
#include <string>

namespace fw {

struct TDateParts {
    int year = 0, month = 0, day = 0; // month 1 to 12
    int hour = 0, minute = 0, second = 0;
};

struct TDateNames {
    std::string shortMonths[12];
    std::string longMonths[12];
    std::string dateSeparator = "/";
    std::string timeSeparator = ":";
    // The whole time in the short (no seconds) and long time formats.
    std::function<std::string(const TDateParts&)> shortTime, longTime;
};

// Letters (any letter case):
//   d dd        day of the month without / with a leading zero
//   m mm        month number without / with a leading zero
//   mmm mmmm    the short / long month name
//   yy yyyy     year in two / four digits
//   h hh        hour without / with a leading zero (12-hour when "am/pm" follows)
//   n nn        minute, s ss second, without / with a leading zero
//   am/pm       "am" before noon, "pm" from noon on
//   t tt        the whole time in the short / long time format
//   / :         the date / time separator
// Every other character stands for itself.
std::string FormatLetters(const std::string& format, const TDateParts& time,
                          const TDateNames& names);

// Days of a month of the Gregorian calendar.
int DaysInMonth(int year, int month);

} // namespace fw
