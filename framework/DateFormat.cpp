// Date and time formatting by letters and short-date parsing over the locale services
// (GetLocaleInfoA, GetTimeFormatA, GetDateFormatA), so month names, separators and the
// time formats follow the user's settings.
#include "framework/DateFormat.h"

#include "framework/Exception.h"
#include "framework/text/DateLetters.h"

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

} // namespace

std::string FormatDateTime(const std::string& format, const SYSTEMTIME& time, LCID locale) {
    TDateNames names;
    for (int m = 0; m < 12; ++m) {
        names.shortMonths[m] = LocaleInfo(locale, LOCALE_SABBREVMONTHNAME1 + m);
        names.longMonths[m] = LocaleInfo(locale, LOCALE_SMONTHNAME1 + m);
    }
    names.dateSeparator = LocaleInfo(locale, LOCALE_SDATE);
    names.timeSeparator = LocaleInfo(locale, LOCALE_STIME);
    names.shortTime = [&](const TDateParts&) { return TimeText(time, locale, TIME_NOSECONDS); };
    names.longTime = [&](const TDateParts&) { return TimeText(time, locale, 0); };
    return FormatLetters(
        format, {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond},
        names);
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
