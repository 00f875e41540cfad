// Date and time formatting by letters and short-date parsing over the locale services
// (GetLocaleInfoA, GetTimeFormatA, GetDateFormatA), so month names, separators and the
// time formats follow the user's settings.
#include "framework/DateFormat.h"

#include "framework/Exception.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace fw {

namespace {

// Locale texts are short: names and pictures at most 80 characters, times a few more.
constexpr int kLocaleText = 256;

std::string LocaleInfo(LCID locale, LCTYPE type) {
    char buf[kLocaleText];
    return GetLocaleInfoA(locale, type, buf, kLocaleText) > 0 ? buf : "";
}

std::string TimeText(const SYSTEMTIME& time, LCID locale, DWORD flags) {
    char buf[kLocaleText];
    return GetTimeFormatA(locale, flags, &time, nullptr, buf, kLocaleText) > 0 ? buf : "";
}

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

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

} // namespace

std::string FormatDateTime(const std::string& format, const SYSTEMTIME& time, LCID locale) {
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
            out += Number(time.wDay, take == 2);
            break;
        case 'm':
            take = std::min<size_t>(run, 4);
            if (take <= 2)
                out += Number(time.wMonth, take == 2);
            else if (time.wMonth >= 1 && time.wMonth <= 12)
                out +=
                    LocaleInfo(locale, (take == 3 ? LOCALE_SABBREVMONTHNAME1 : LOCALE_SMONTHNAME1) +
                                           time.wMonth - 1);
            break;
        case 'y':
            take = run >= 3 ? std::min<size_t>(run, 4) : run;
            out += take >= 3 ? Number(time.wYear, true) : Number(time.wYear % 100, true);
            break;
        case 'h': {
            int hour = time.wHour;
            if (TwelveHour(format, i + take))
                hour = hour % 12 == 0 ? 12 : hour % 12;
            out += Number(hour, take == 2);
            break;
        }
        case 'n':
            out += Number(time.wMinute, take == 2);
            break;
        case 's':
            out += Number(time.wSecond, take == 2);
            break;
        case 't':
            out += TimeText(time, locale, take == 1 ? TIME_NOSECONDS : 0);
            break;
        case 'a':
            take = StartsWithNoCase(format, i, "am/pm") ? 5 : 1;
            out += take == 5 ? (time.wHour < 12 ? "am" : "pm") : format.substr(i, 1);
            break;
        case '/':
            take = 1;
            out += LocaleInfo(locale, LOCALE_SDATE);
            break;
        case ':':
            take = 1;
            out += LocaleInfo(locale, LOCALE_STIME);
            break;
        default:
            take = 1;
            out += format[i];
        }
        i += take;
    }
    return out;
}

SYSTEMTIME StrToDate(const std::string& text, LCID locale) {
    const EConvertError invalid("'" + text + "' is not a valid date");
    std::string picture = LocaleInfo(locale, LOCALE_SSHORTDATE);
    std::transform(picture.begin(), picture.end(), picture.begin(), Lower);
    const std::string separator = LocaleInfo(locale, LOCALE_SDATE);

    // The three numbers of the text, each with its count of digits.
    struct Part {
        int value = 0;
        size_t digits = 0;
    };
    std::vector<Part> parts;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && text[i] == ' ')
            ++i;
    };
    skipBlanks();
    for (;;) {
        Part p;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && p.digits < 5)
            p.value = p.value * 10 + (text[i++] - '0'), ++p.digits;
        if (p.digits == 0 || p.digits > 4)
            throw invalid;
        parts.push_back(p);
        skipBlanks();
        if (i == text.size() || parts.size() == 3)
            break;
        if (separator.empty() || text.compare(i, separator.size(), separator) != 0)
            throw invalid;
        i += separator.size();
        skipBlanks();
    }
    if (parts.size() != 3 || i != text.size())
        throw invalid;

    // The picture's first d, m and y give the order of the numbers.
    const size_t d = picture.find('d'), m = picture.find('m'), y = picture.find('y');
    if (d == std::string::npos || m == std::string::npos || y == std::string::npos)
        throw invalid;
    auto rank = [&](size_t at) { return (at > d) + (at > m) + (at > y); };
    Part day = parts[rank(d)], month = parts[rank(m)], year = parts[rank(y)];
    if (year.digits <= 2)
        year.value += year.value < 50 ? 2000 : 1900;
    if (year.value < 1601 || month.value < 1 || month.value > 12 || day.value < 1 ||
        day.value > DaysInMonth(year.value, month.value))
        throw invalid;

    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(year.value);
    date.wMonth = static_cast<WORD>(month.value);
    date.wDay = static_cast<WORD>(day.value);
    return date;
}

std::string DateToStr(const SYSTEMTIME& date, LCID locale) {
    char buf[kLocaleText];
    return GetDateFormatA(locale, DATE_SHORTDATE, &date, nullptr, buf, kLocaleText) > 0 ? buf : "";
}

std::string DateToStr() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return DateToStr(now);
}

std::string TimeToStr() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return TimeText(now, LOCALE_USER_DEFAULT, 0);
}

} // namespace fw
