// Tagline cycling rules: tick decisions, the random draw and the status text.
#include "rotation/Cycling.h"

#include "framework/DateFormat.h"
#include "framework/Exception.h"
#include "framework/rules/RandomPick.h"

#include <tuple>

namespace {

// Whole seconds since 1601 of a local time, for measuring elapsed time.
long long Seconds(const SYSTEMTIME& t) {
    FILETIME ft;
    if (!SystemTimeToFileTime(&t, &ft))
        return 0;
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<long long>(u.QuadPart / 10000000ull);
}

auto Day(const SYSTEMTIME& t) {
    return std::make_tuple(t.wYear, t.wMonth, t.wDay);
}

} // namespace

TTickDecision DecideTick(const std::string& frequency, int interval, const std::string& date,
                         const SYSTEMTIME& lastSave, const SYSTEMTIME& now) {
    TTickDecision d;
    if (frequency == "Hourly") {
        d.change = now.wHour >= lastSave.wHour + 1;
        d.save = true;
    } else if (frequency == "Daily") {
        try {
            d.change = d.save = Day(now) > Day(fw::StrToDate(date));
        } catch (const fw::EConvertError& e) {
            d.box = TTickDecision::TBox::Error;
            d.message = e.Message();
        }
    } else if (frequency == "Variable") {
        const long long elapsed = Seconds(now) - Seconds(lastSave);
        d.change = d.save = elapsed >= 60ll * interval || elapsed < 0;
    } else if (frequency == "Demo") {
        d.change = true;
    } else {
        d.box = TTickDecision::TBox::Information;
        d.message = "You must select a Frequency from the Setup|Frequency menu";
    }
    return d;
}

std::uint32_t ChangeSeed(const SYSTEMTIME& utc) {
    return rules::RandomSeed(utc.wHour, utc.wMinute, utc.wSecond, utc.wMilliseconds);
}

int RandomRow(const SYSTEMTIME& utc, int rowCount, int current) {
    return rules::RandomRow(ChangeSeed(utc), rowCount, current);
}

std::string StatusText(const std::string& frequency, const std::string& sequencer, int interval,
                       bool timerOn) {
    return "PROGRAM STATUS\r\n\r\nFrequency: " + frequency + "\r\n" + "Sequence: " + sequencer +
           "\r\n" + "Interval is: " + std::to_string(interval) + " Minute(s)" + "\r\n" +
           "Timer is: " + (timerOn ? "On" : "Off") + "\r\n";
}

std::string FrequencyToSave(const std::string& frequency, const std::string& prevFrequency) {
    return frequency == "Demo" ? prevFrequency : frequency;
}
