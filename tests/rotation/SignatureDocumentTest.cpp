// The signature document on disk: the draft and the files byte for byte, the variable
// word rule and its list file, loading back, and writing in place while shared.
#include "framework/Exception.h"
#include "framework/Paths.h"
#include "rotation/SignatureDocument.h"
#include "rotation/SignatureFiles.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

namespace {

class FixedClock : public TClock {
  public:
    SYSTEMTIME now{2026, 12, 0, 6, 14, 5, 9, 0};
    SYSTEMTIME Local() const override { return now; }
    SYSTEMTIME Utc() const override { return now; }
};

// A program folder of its own for each test, removed afterwards.
std::string TestFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "quiptide-sig-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
}

class Signature : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directory(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    static void Put(const std::string& file, const std::string& bytes) {
        fw::WriteWholeFile(file, bytes);
    }
    static std::string Get(const std::string& file) {
        return fw::ReadSharedFile(file, kMaxTextFile);
    }

    std::string Draft(const std::string& body, const std::string& tag, bool tagPos,
                      const std::string& custDate = "mm/dd/yy",
                      const std::string& custTime = "hh:nn:ss am/pm") {
        return doc.ComposeDraft(body, tag, tagPos, custDate, custTime);
    }
    // Composes and saves as the window's Display then Save do.
    std::string SaveComposed(const std::string& body, const std::string& tag, bool tagPos) {
        if (!fw::FileExists(sigFile))
            Put(sigFile, "");
        doc.Save(sigFile, Draft(body, tag, tagPos), body, tag);
        return Get(sigFile);
    }

    const std::string dir = TestFolder();
    const std::string sigFile = dir + "signatur.pce";
    FixedClock clock;
    TBrkApart breakIt{nullptr};
    TSignatureDocument doc{dir, breakIt, clock};
};

TEST_F(Signature, FileHoldsExpandedBodyAndTaglineExactly) {
    const std::string body = "John Q. Public\r\n#DATE#";
    EXPECT_EQ(SaveComposed(body, "A tagline.", false), "John Q. Public\r\n12/06/26\r\nA tagline.");
    EXPECT_EQ(SaveComposed(body, "A tagline.", true),
              "A tagline.\r\nJohn Q. Public\r\n12/06/26\r\n");
    // The side files hold body and tagline as given: unexpanded, nothing added.
    EXPECT_EQ(Get(doc.SigSideFile()), body);
    EXPECT_EQ(Get(doc.TagSideFile()), "A tagline.");
    EXPECT_EQ(doc.SigSideFile(), dir + "mv-sig.smv");
    EXPECT_EQ(doc.TagSideFile(), dir + "mv-tag.smv");
}

TEST_F(Signature, BlanksAndLineBreaksOfTheBodyAreKept) {
    EXPECT_EQ(Draft("a  b", "T", false), "a  b\r\nT");
    EXPECT_EQ(Draft(" lead and trail ", "T", false), " lead and trail \r\nT");
    EXPECT_EQ(Draft("  #DATE#  ", "T", false), "  12/06/26  \r\nT");
    EXPECT_EQ(Draft("Name\r\n", "T", false), "Name\r\nT") << "no doubled line break";
    EXPECT_EQ(Draft("one\r\n\r\nthree", "T", false), "one\r\n\r\nthree\r\nT");
    EXPECT_EQ(Draft("lone\rcr\nlf", "T", false), "lone\r\ncr\r\nlf\r\nT");
    EXPECT_EQ(Draft("", "T", false), "T");
    EXPECT_EQ(Draft("", "T", true), "T\r\n");
    EXPECT_EQ(Draft("body", "", false), "body\r\n");
}

TEST_F(Signature, OnlyWholeCaseExactWordsAreVariables) {
    EXPECT_EQ(Draft("Sent #DATE# at #TIME#", "", false), "Sent 12/06/26 at 02:05:09 pm\r\n");
    EXPECT_EQ(Draft("on #DATE#", "", false), "on 12/06/26\r\n");
    for (const char* kept : {"#DATE#.", "#date#", "x#DATE#", "#DATE#,#TIME#", "(#TIME#)"})
        EXPECT_EQ(Draft(kept, "", false), std::string(kept) + "\r\n") << kept;
    // The tagline is never expanded.
    EXPECT_EQ(Draft("#DATE#", "#DATE#", true), "#DATE#\r\n12/06/26\r\n");
    EXPECT_EQ(Draft("#DATE# #TIME#", "", false, "mmm dd, yy", "h:n:s am/pm"),
              "Dec 06, 26 2:5:9 pm\r\n");
}

TEST_F(Signature, VariableListIsCreatedOnceAndDoesNotGrow) {
    const std::string list = dir + "UserVars.QTV";
    EXPECT_EQ(doc.VariableListFile(), list);
    ASSERT_FALSE(fw::FileExists(list));
    Draft("x", "", false);
    EXPECT_EQ(Get(list), "#DATE#\r\n#TIME#\r\n");
    Draft("x", "", false);
    Draft("#DATE#", "", false);
    EXPECT_EQ(Get(list), "#DATE#\r\n#TIME#\r\n");

    // A user's own names stay first and do nothing; a missing built-in name is added.
    Put(list, "#NAME#\n#TIME#\r");
    EXPECT_EQ(Draft("#NAME# #TIME#", "", false), "#NAME# 02:05:09 pm\r\n");
    EXPECT_EQ(Get(list), "#NAME#\r\n#TIME#\r\n#DATE#\r\n");
    Draft("x", "", false);
    EXPECT_EQ(Get(list), "#NAME#\r\n#TIME#\r\n#DATE#\r\n");
}

TEST_F(Signature, LongerOldFileIsCutAndKeepsItsIdentity) {
    Put(sigFile, std::string(5000, 'x'));
    // Another program holding the file open for reading and writing does not stop the
    // save, and sees the new text through its own handle: the same file, written in place.
    HANDLE other =
        CreateFileA(sigFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SaveComposed("Me", "Tag", false), "Me\r\nTag");
    char buf[100] = {};
    DWORD got = 0;
    SetFilePointer(other, 0, nullptr, FILE_BEGIN);
    ReadFile(other, buf, sizeof buf, &got, nullptr);
    CloseHandle(other);
    EXPECT_EQ(std::string(buf, got), "Me\r\nTag");
}

TEST_F(Signature, SaveNeedsAnExistingFileThatCanBeOpened) {
    try {
        doc.Save(sigFile, "draft", "body", "tag");
        ADD_FAILURE() << "a missing signature file was written";
    } catch (const fw::EFileError& e) {
        EXPECT_NE(e.Message().find("Cannot open file " + sigFile), std::string::npos);
    }
    EXPECT_FALSE(fw::FileExists(sigFile));
    EXPECT_FALSE(fw::FileExists(doc.SigSideFile())) << "nothing written after the failure";

    // A program that holds the file without sharing it for writing blocks the save.
    Put(sigFile, "old");
    HANDLE locked =
        CreateFileA(sigFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, 0);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_THROW(doc.Save(sigFile, "draft", "body", "tag"), fw::EFileError);
    CloseHandle(locked);
    EXPECT_EQ(Get(sigFile), "old");
}

TEST_F(Signature, SaveAsCreatesOrReplacesWhole) {
    const std::string other = dir + "other.pms";
    doc.SaveAs(other, "new draft", "body", "tag");
    EXPECT_EQ(Get(other), "new draft");
    Put(other, std::string(300, 'y'));
    doc.SaveAs(other, "short", "body2", "tag2");
    EXPECT_EQ(Get(other), "short");
    EXPECT_EQ(Get(doc.SigSideFile()), "body2");
    EXPECT_EQ(Get(doc.TagSideFile()), "tag2");
    EXPECT_THROW(doc.SaveAs(dir + "no such folder\\x.pce", "d", "b", "t"), fw::EFileError);
}

TEST_F(Signature, LoadSigTakesTheFilesOfTheLastSave) {
    Put(sigFile, "Me\nTag");
    Put(doc.SigSideFile(), "Me\r#DATE#");
    Put(doc.TagSideFile(), "Two\nlines");
    TLoadedSignature s = doc.LoadSig(sigFile);
    EXPECT_EQ(s.body, "Me\r\n#DATE#");
    EXPECT_EQ(s.draft, "Me\r\nTag") << "the file as it is, not a recomposition";
    ASSERT_TRUE(s.savedTagline);
    EXPECT_EQ(*s.savedTagline, "Two\r\nlines");
}

TEST_F(Signature, LoadSigExplainsAMissingSignatureFile) {
    Put(doc.SigSideFile(), "Me");
    Put(doc.TagSideFile(), "Tag");
    TLoadedSignature s = doc.LoadSig(sigFile);
    EXPECT_EQ(s.body, "The file " + sigFile +
                          " cannot be found.\r\n"
                          "It has either been deleted or moved.\r\n"
                          "Go to \"File|Select Signature\" and select the signature file to "
                          "use; Or type your signature here.\r\n");
    EXPECT_EQ(s.draft, "");
    EXPECT_FALSE(s.savedTagline);
}

TEST_F(Signature, LoadSigWithoutSideFilesGivesTheGettingStartedLines) {
    Put(sigFile, "Me");
    Put(doc.SigSideFile(), "Me");
    TLoadedSignature s = doc.LoadSig(sigFile);
    EXPECT_EQ(s.body, "1. Go to \"File|Select Signature\" and select the signature file to use; "
                      "Or type your signature here.\r\n"
                      "2. The select a tagline and click \"Display Draft\" to show the draft "
                      "signature.\r\n"
                      "3. Lastly, save the revised signature file and start the timer.\r\n");
    EXPECT_EQ(s.draft, "");
    EXPECT_FALSE(s.savedTagline);
    EXPECT_EQ(doc.LoadSig("").body, s.body) << "a first run: no signature file, no side files";
}

} // namespace
