// Shared text files: the size limit of a read, writing in place and replacing whole, and
// line breaks of every kind.
#include "framework/TextFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

namespace {

class TextFiles : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directory(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    const std::string dir = std::filesystem::temp_directory_path().string() + "qt-textfiles\\";
};

TEST_F(TextFiles, ReadingRefusesFilesLargerThanTheLimit) {
    const std::string big = dir + "big.txt";
    HANDLE h = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = (16ll << 20) + 1;
    SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    try {
        fw::ReadSharedFile(big, 16ull << 20);
        ADD_FAILURE() << "read a file beyond the limit";
    } catch (const fw::EFileError& e) {
        EXPECT_EQ(e.Message(), "Cannot read file " + big + "\r\nThe file is larger than 16 MB.");
    }
}

TEST(TextLines, LineBreaksOfEveryKindBecomeCrLf) {
    EXPECT_EQ(fw::NormaliseLineBreaks("a\rb\nc\r\nd\n\re"), "a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(fw::NormaliseLineBreaks("\r"), "\r\n");
    EXPECT_EQ(fw::SplitLines("a\rb\nc\r\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(fw::SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(fw::SplitLines("a\n\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(fw::SplitLines("\r\n"), (std::vector<std::string>{""}));
    EXPECT_TRUE(fw::SplitLines("").empty());
}

TEST_F(TextFiles, OverwritingKeepsTheFileAndCutsItAtTheNewEnd) {
    const std::string file = dir + "sig.txt";
    fw::WriteWholeFile(file, "a long first version\r\n");
    fw::OverwriteSharedFile(file, "short");
    EXPECT_EQ(fw::ReadSharedFile(file, 100), "short");
    EXPECT_THROW(fw::OverwriteSharedFile(dir + "missing.txt", "x"), fw::EFileError)
        << "in place means the file must exist";
    EXPECT_FALSE(std::filesystem::exists(dir + "missing.txt"));
}

} // namespace
