// Tagline cycling rules at the clock's seams, the random row choice and the status text.
#include "framework/DateFormat.h"
#include "rotation/Cycling.h"

#include <gtest/gtest.h>

#include <set>

namespace {

SYSTEMTIME At(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s, WORD ms = 0) {
    return {y, mo, 0, d, h, mi, s, ms};
}

const SYSTEMTIME kDay = At(2026, 12, 6, 0, 0, 0);

// "change save" as the test reads them.
std::string Act(const TTickDecision& d) {
    return std::string(d.change ? "change" : "keep") + (d.save ? " save" : "");
}

std::string Hourly(const SYSTEMTIME& last, const SYSTEMTIME& now) {
    return Act(DecideTick("Hourly", 5, "", last, now));
}

std::string Variable(int interval, const SYSTEMTIME& last, const SYSTEMTIME& now) {
    return Act(DecideTick("Variable", interval, "", last, now));
}

std::string Daily(const std::string& date, const SYSTEMTIME& now) {
    return Act(DecideTick("Daily", 5, date, now, now));
}

TEST(Cycling, HourlyChangesAtTheFirstTickOfEachNewHourAndSavesEveryTick) {
    EXPECT_EQ(Hourly(At(2026, 12, 6, 10, 59, 59), At(2026, 12, 6, 11, 0, 0)), "change save");
    EXPECT_EQ(Hourly(At(2026, 12, 6, 11, 0, 0), At(2026, 12, 6, 11, 0, 1)), "keep save");
    EXPECT_EQ(Hourly(At(2026, 12, 6, 11, 59, 58), At(2026, 12, 6, 11, 59, 59)), "keep save");
    // Across midnight: hour 23 to 0 changes nothing, the next change is at 01:00.
    EXPECT_EQ(Hourly(At(2026, 12, 6, 23, 59, 59), At(2026, 12, 7, 0, 0, 0)), "keep save");
    EXPECT_EQ(Hourly(At(2026, 12, 7, 0, 59, 59), At(2026, 12, 7, 1, 0, 0)), "change save");
}

TEST(Cycling, DailyChangesOnceOnANewDay) {
    const SYSTEMTIME today = At(2026, 12, 6, 0, 0, 0, 500);
    EXPECT_EQ(Daily(fw::DateToStr(At(2026, 12, 5, 0, 0, 0)), today), "change save");
    EXPECT_EQ(Daily(fw::DateToStr(today), today), "keep");
    EXPECT_EQ(Daily(fw::DateToStr(today), At(2026, 12, 6, 23, 59, 59)), "keep");
    EXPECT_EQ(Daily(fw::DateToStr(today), At(2026, 12, 7, 0, 0, 0)), "change save");
    EXPECT_EQ(Daily(fw::DateToStr(At(2026, 12, 31, 0, 0, 0)), At(2027, 1, 1, 0, 0, 0)),
              "change save");
    EXPECT_EQ(Daily(fw::DateToStr(At(2026, 11, 30, 0, 0, 0)), today), "change save");
    EXPECT_EQ(Daily(fw::DateToStr(At(2027, 1, 1, 0, 0, 0)), today), "keep") << "clock set back";
}

TEST(Cycling, DailyWithAnUnreadableDateAsksForAnErrorBoxInsteadOfRaising) {
    TTickDecision d = DecideTick("Daily", 5, "yesterday", kDay, kDay);
    EXPECT_EQ(d.box, TTickDecision::TBox::Error);
    EXPECT_EQ(d.message, "'yesterday' is not a valid date");
    EXPECT_EQ(Act(d), "keep");
}

TEST(Cycling, VariableCountsElapsedMinutesAcrossHoursAndMidnight) {
    EXPECT_EQ(Variable(5, At(2026, 12, 6, 10, 0, 0), At(2026, 12, 6, 10, 4, 59)), "keep");
    EXPECT_EQ(Variable(5, At(2026, 12, 6, 10, 0, 0), At(2026, 12, 6, 10, 5, 0)), "change save");
    EXPECT_EQ(Variable(5, At(2026, 12, 6, 10, 58, 30), At(2026, 12, 6, 11, 3, 29)), "keep");
    EXPECT_EQ(Variable(5, At(2026, 12, 6, 10, 58, 30), At(2026, 12, 6, 11, 3, 30)), "change save");
    EXPECT_EQ(Variable(59, At(2026, 12, 6, 10, 30, 0), At(2026, 12, 6, 11, 29, 0)), "change save");
    EXPECT_EQ(Variable(5, At(2026, 12, 6, 23, 58, 0), At(2026, 12, 7, 0, 2, 59)), "keep");
    EXPECT_EQ(Variable(5, At(2026, 12, 6, 23, 58, 0), At(2026, 12, 7, 0, 3, 0)), "change save");
    EXPECT_EQ(Variable(5, At(2026, 12, 31, 23, 58, 0), At(2027, 1, 1, 0, 3, 0)), "change save");
    // Days without a save, and a clock set back, change at once rather than waiting.
    EXPECT_EQ(Variable(5, At(2026, 12, 1, 10, 0, 0), At(2026, 12, 6, 10, 0, 0)), "change save");
    EXPECT_EQ(Variable(5, At(2026, 12, 6, 10, 0, 0), At(2026, 12, 6, 9, 59, 0)), "change save");
}

TEST(Cycling, DemoChangesWithoutSavingAndUnknownFrequenciesAsk) {
    EXPECT_EQ(Act(DecideTick("Demo", 5, "", kDay, kDay)), "change");
    for (const char* f : {"OnLoad", "hourly", "", "Weekly"}) {
        TTickDecision d = DecideTick(f, 5, "", kDay, kDay);
        EXPECT_EQ(Act(d), "keep") << f;
        EXPECT_EQ(d.box, TTickDecision::TBox::Information) << f;
        EXPECT_EQ(d.message, "You must select a Frequency from the Setup|Frequency menu");
    }
    EXPECT_EQ(DecideTick("Hourly", 5, "", kDay, kDay).box, TTickDecision::TBox::None);
}

TEST(Cycling, EveryRowCanBeDrawnAndNoneOutsideTheTable) {
    for (int n : {1, 2, 7, 100, 1000}) {
        std::set<int> seen;
        for (int ms = 0; ms < 20000; ++ms) {
            int r = RandomRow(At(2026, 12, 6, 10, 0, ms / 1000, ms % 1000), n);
            ASSERT_GE(r, 1);
            ASSERT_LE(r, n);
            seen.insert(r);
        }
        EXPECT_EQ(static_cast<int>(seen.size()), n) << "rows of " << n << " reached";
    }
    EXPECT_EQ(RandomRow(At(2026, 12, 6, 23, 59, 59, 999), 100000000),
              RandomRow(At(2026, 12, 6, 23, 59, 59, 999), 100000000))
        << "the same millisecond draws the same row";
    EXPECT_EQ(RandomRow(kDay, 0), 0) << "an empty table keeps its place";
}

TEST(Cycling, StatusSummaryAndTheFrequencySavedAfterADemonstration) {
    EXPECT_EQ(StatusText("Variable", "Random", 15, true),
              "PROGRAM STATUS\r\n\r\nFrequency: Variable\r\nSequence: Random\r\n"
              "Interval is: 15 Minute(s)\r\nTimer is: On\r\n");
    EXPECT_EQ(StatusText("Daily", "Sequential", 5, false),
              "PROGRAM STATUS\r\n\r\nFrequency: Daily\r\nSequence: Sequential\r\n"
              "Interval is: 5 Minute(s)\r\nTimer is: Off\r\n");
    EXPECT_EQ(FrequencyToSave("Demo", "Hourly"), "Hourly");
    EXPECT_EQ(FrequencyToSave("Daily", "Hourly"), "Daily");
}

} // namespace
