// Formatting by letters over names a locale supplies, with no system services.
#include "framework/text/DateLetters.h"

#include <algorithm>
#include <cctype>

namespace fw {

namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* word) {
    for (size_t k = 0; word[k]; ++k)
        if (at + k >= text.size() || Lower(text[at + k]) != word[k])
            return false;
    return true;
}

std::string Number(int value, bool twoDigits) {
    std::string s = std::to_string(value);
    return twoDigits && s.size() < 2 ? "0" + s : s;
}

// An hour is a 12-hour value when "am/pm" follows it before the next hour letter.
bool TwelveHour(const std::string& format, size_t from) {
    for (size_t i = from; i < format.size(); ++i) {
        if (Lower(format[i]) == 'h')
            return false;
        if (StartsWithNoCase(format, i, "am/pm"))
            return true;
    }
    return false;
}

} // namespace

std::string FormatLetters(const std::string& format, const TDateParts& time,
                          const TDateNames& names) {
    std::string out;
    size_t i = 0;
    while (i < format.size()) {
        const char c = Lower(format[i]);
        size_t run = 1;
        while (i + run < format.size() && Lower(format[i + run]) == c)
            ++run;
        size_t take = std::min<size_t>(run, 2);
        switch (c) {
        case 'd':
            out += Number(time.day, take == 2);
            break;
        case 'm':
            take = std::min<size_t>(run, 4);
            if (take <= 2)
                out += Number(time.month, take == 2);
            else if (time.month >= 1 && time.month <= 12)
                out += (take == 3 ? names.shortMonths : names.longMonths)[time.month - 1];
            break;
        case 'y':
            take = run >= 3 ? std::min<size_t>(run, 4) : run;
            out += take >= 3 ? Number(time.year, true) : Number(time.year % 100, true);
            break;
        case 'h': {
            int hour = time.hour;
            if (TwelveHour(format, i + take))
                hour = hour % 12 == 0 ? 12 : hour % 12;
            out += Number(hour, take == 2);
            break;
        }
        case 'n':
            out += Number(time.minute, take == 2);
            break;
        case 's':
            out += Number(time.second, take == 2);
            break;
        case 't':
            if (const auto& text = take == 1 ? names.shortTime : names.longTime)
                out += text(time);
            break;
        case 'a':
            take = StartsWithNoCase(format, i, "am/pm") ? 5 : 1;
            out += take == 5 ? (time.hour < 12 ? "am" : "pm") : format.substr(i, 1);
            break;
        case '/':
            take = 1;
            out += names.dateSeparator;
            break;
        case ':':
            take = 1;
            out += names.timeSeparator;
            break;
        default:
            take = 1;
            out += format[i];
        }
        i += take;
    }
    return out;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace fw
