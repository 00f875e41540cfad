// Format letters of the date and time variables, separators and names from the locale,
// and reading back a short date.
#include "framework/DateFormat.h"
#include "framework/Exception.h"

#include <gtest/gtest.h>

namespace {

const LCID kEnglish = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
const LCID kGerman = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);

SYSTEMTIME At(WORD y, WORD mo, WORD d, WORD h = 0, WORD mi = 0, WORD s = 0) {
    return {y, mo, 0, d, h, mi, s, 0};
}

std::string En(const std::string& format, const SYSTEMTIME& t) {
    return fw::FormatDateTime(format, t, kEnglish);
}

TEST(DateFormat, TheOfferedDateFormats) {
    const SYSTEMTIME t = At(2026, 12, 6);
    EXPECT_EQ(En("mmm dd, yyyy", t), "Dec 06, 2026");
    EXPECT_EQ(En("mmm dd, yy", t), "Dec 06, 26");
    EXPECT_EQ(En("mmm d, yy", t), "Dec 6, 26");
    EXPECT_EQ(En("mmmm dd, yyyy", t), "December 06, 2026");
    EXPECT_EQ(En("mmmm d, yy", t), "December 6, 26");
    EXPECT_EQ(En("dd/mm/yy", t), "06/12/26");
    EXPECT_EQ(En("mm/dd/yy", At(2009, 3, 14)), "03/14/09");
    EXPECT_EQ(En("MMM DD, YYYY", t), "Dec 06, 2026") << "letters in any case";
}

TEST(DateFormat, SeparatorsAndNamesComeFromTheLocale) {
    EXPECT_EQ(fw::FormatDateTime("dd/mm/yy", At(2026, 12, 6), kGerman), "06.12.26");
    EXPECT_EQ(fw::FormatDateTime("mmmm d, yyyy", At(2026, 12, 6), kGerman), "Dezember 6, 2026");
    EXPECT_EQ(fw::FormatDateTime("hh:nn", At(2026, 12, 6, 9, 5), kGerman), "09:05");
}

TEST(DateFormat, TheOfferedTimeFormats) {
    const SYSTEMTIME afternoon = At(2026, 12, 6, 14, 5, 9);
    EXPECT_EQ(En("hh:nn:ss am/pm", afternoon), "02:05:09 pm");
    EXPECT_EQ(En("h:n:s am/pm", afternoon), "2:5:9 pm");
    EXPECT_EQ(En("hh:nn:ss", afternoon), "14:05:09") << "24 hours without am/pm";
    EXPECT_EQ(En("h:n:s am/pm", At(2026, 12, 6, 0, 30, 0)), "12:30:0 am");
    EXPECT_EQ(En("h am/pm", At(2026, 12, 6, 12, 0, 0)), "12 pm");
    EXPECT_EQ(En("h am/pm", At(2026, 12, 6, 11, 59, 59)), "11 am");
    EXPECT_EQ(En("hh h am/pm", afternoon), "14 2 pm") << "only the hour before am/pm";
    EXPECT_EQ(En("tt", afternoon), "2:05:09 PM");
    EXPECT_EQ(En("t", afternoon), "2:05 PM");
}

TEST(DateFormat, OtherCharactersStandForThemselves) {
    EXPECT_EQ(En("yyyy-mm-dd (hh.nn)", At(2026, 12, 6, 8, 7)), "2026-12-06 (08.07)");
    EXPECT_EQ(En("", At(2026, 12, 6)), "");
    EXPECT_EQ(En("[a.b.]", At(2026, 12, 6)), "[a.b.]");
}

TEST(DateFormat, ShortDatesReadBackInTheLocalesOrder) {
    for (LCID locale : {kEnglish, kGerman})
        for (const SYSTEMTIME& d : {At(2026, 12, 6), At(2024, 2, 29), At(1999, 1, 31)}) {
            SYSTEMTIME back = fw::StrToDate(fw::DateToStr(d, locale), locale);
            EXPECT_EQ(back.wYear, d.wYear);
            EXPECT_EQ(back.wMonth, d.wMonth);
            EXPECT_EQ(back.wDay, d.wDay);
        }
    SYSTEMTIME t = fw::StrToDate(" 12/6/26 ", kEnglish);
    EXPECT_EQ(t.wYear, 2026);
    EXPECT_EQ(t.wMonth, 12);
    EXPECT_EQ(t.wDay, 6);
    EXPECT_EQ(fw::StrToDate("6.12.2026", kGerman).wMonth, 12);
}

TEST(DateFormat, TextsThatAreNoDateRaiseTheConversionError) {
    for (const char* bad : {"", "12/6", "12/6/2026/1", "13/1/2026", "2/29/2026", "0/1/2026",
                            "12/6/2026x", "12-6-2026", "a/b/c", "12/6/99999", "6.12.2026"}) {
        try {
            fw::StrToDate(bad, kEnglish);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const fw::EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid date");
        }
    }
}

} // namespace
