// Starting another program: a path with blanks starts exactly that file.
#include "framework/Paths.h"
#include "framework/Process.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The probe program writes "<its own path>.ran" when it runs.
bool WaitForFile(const std::string& name) {
    for (int i = 0; i < 200 && !fw::FileExists(name); ++i)
        Sleep(50);
    return fw::FileExists(name);
}

TEST(StartProgram, APathWithBlanksStartsThatProgram) {
    std::string probe = fw::ExtractFilePath(fw::ProgramFileName()) + "spawn_probe.exe";
    ASSERT_TRUE(fw::FileExists(probe));
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "Mail Reader Folder";
    CreateDirectoryA(dir.c_str(), nullptr);
    // A decoy where an unquoted command line would be cut at the first blank.
    std::string target = dir + "\\my mail.exe";
    std::string marker = target + ".ran";
    DeleteFileA(marker.c_str());
    ASSERT_TRUE(CopyFileA(probe.c_str(), target.c_str(), FALSE));

    EXPECT_GT(fw::StartProgram(target, SW_SHOWNORMAL), 31u);
    EXPECT_TRUE(WaitForFile(marker));

    DeleteFileA(marker.c_str());
    DeleteFileA(target.c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(StartProgram, FailuresReportCodesOf31OrLess) {
    EXPECT_EQ(fw::StartProgram("C:\\no such folder\\nothing.exe", SW_SHOWNORMAL), 3u);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string text = std::string(temp) + "not a program.exe";
    HANDLE f = CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    WriteFile(f, "hello", 5, &written, nullptr);
    CloseHandle(f);
    EXPECT_LE(fw::StartProgram(text, SW_SHOWNORMAL), 31u);
    DeleteFileA(text.c_str());
}

} // namespace
