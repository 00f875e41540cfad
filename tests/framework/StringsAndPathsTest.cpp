// Run-time helpers: integer conversion and its message, path pieces, locale date and time.
#include "framework/DateFormat.h"
#include "framework/Exception.h"
#include "framework/Paths.h"
#include "framework/Process.h"
#include "framework/Strings.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

TEST(SysUtils, StrToIntAcceptsSignedDecimalsWithBlanks) {
    EXPECT_EQ(fw::StrToInt("42"), 42);
    EXPECT_EQ(fw::StrToInt(" -7 "), -7);
    EXPECT_EQ(fw::StrToInt("+5"), 5);
    EXPECT_EQ(fw::StrToInt("2147483647"), 2147483647);
    EXPECT_EQ(fw::StrToInt("-2147483648"), -2147483647 - 1);
}

TEST(SysUtils, StrToIntRejectsWithTheSystemsMessage) {
    for (const char* bad : {"", " ", "12a", "1 2", "-", "2147483648", "0x10", "4.5"}) {
        try {
            fw::StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const fw::EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

TEST(SysUtils, FileExtTakesTheLastDotAfterTheLastSeparator) {
    EXPECT_EQ(fw::ExtractFileExt("C:\\mail\\signatur.PCE"), ".PCE");
    EXPECT_EQ(fw::ExtractFileExt("C:\\my.dir\\noext"), "");
    EXPECT_EQ(fw::ExtractFileExt("C:\\a\\b.tar.db"), ".db");
    EXPECT_EQ(fw::ExtractFileExt("name."), ".");
    EXPECT_EQ(fw::ExtractFileExt("C:x.txt"), ".txt");
}

TEST(SysUtils, FilePathKeepsTheTrailingSeparatorAndFileNameTheRest) {
    EXPECT_EQ(fw::ExtractFilePath("C:\\Program Files\\Quiptide\\Quiptide.exe"),
              "C:\\Program Files\\Quiptide\\");
    EXPECT_EQ(fw::ExtractFilePath("Quiptide.exe"), "");
    EXPECT_EQ(fw::ExtractFilePath("C:file"), "C:");
    EXPECT_EQ(fw::ExtractFileName("C:\\Program Files\\Mail\\eudora.exe"), "eudora.exe");
    EXPECT_EQ(fw::ExtractFileName("C:eudora.exe"), "eudora.exe");
    EXPECT_EQ(fw::ExtractFileName("eudora.exe"), "eudora.exe");
    EXPECT_EQ(fw::ExtractFileName("C:\\Mail\\"), "");
}

TEST(SysUtils, LowerCaseFoldsLettersOnly) {
    EXPECT_EQ(fw::LowerCase("/UNLOAD Now 1!"), "/unload now 1!");
}

TEST(SysUtils, ProgramFileNameIsAnExistingFileAndCommandLineIsNotEmpty) {
    EXPECT_TRUE(fw::FileExists(fw::ProgramFileName()));
    EXPECT_FALSE(fw::FileExists(fw::ExtractFilePath(fw::ProgramFileName()))); // a folder
    EXPECT_FALSE(fw::CommandLine().empty());
}

// The tests run with the en_US locale: short date M/d/yyyy, time h:mm:ss AM/PM.
TEST(SysUtils, DateAndTimeFollowTheUsersLocaleFormats) {
    EXPECT_TRUE(std::regex_match(fw::DateToStr(), std::regex(R"(\d{1,2}/\d{1,2}/\d{4})")))
        << fw::DateToStr();
    EXPECT_TRUE(std::regex_match(fw::TimeToStr(), std::regex(R"(\d{1,2}:\d\d:\d\d [AP]M)")))
        << fw::TimeToStr();
}

} // namespace
