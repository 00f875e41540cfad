// A new user's first session and the next start, and a start "On Load" with /unload,
// checked on the files the mail reader and the next start read.
#include "WindowTest.h"

#include "desktop/MRUList.h"

namespace {

class EndToEndTest : public WindowTest {
  protected:
    // The TagText of the rows at those places in TagText order.
    std::vector<std::string> TaglinesAt(std::initializer_list<int> rows) {
        Create();
        std::vector<std::string> texts;
        for (int row : rows) {
            form->Table1->SetRecNo(row);
            texts.push_back(form->Table1->FieldByName("TagText").AsString());
        }
        form.reset();
        dialogs.Clear();
        return texts;
    }
};

TEST_F(EndToEndTest, ANewUserSelectsDisplaysSavesCyclesAndFindsItAllAgainAfterARestart) {
    WriteBytes(sigFile, "Jane Doe\r\nExample Corp\r\n-- \r\nsomeone else's tagline\r\n");
    TMainForm& f = Create();
    EXPECT_TRUE(dialogs.Shown().empty()) << Texts()[0];

    dialogs.Answer(fw::mrOk, sigFile);
    TInputDialogHand hand([](HWND dialog, HWND memo) {
        SendMessageA(memo, EM_SETSEL, 0, 24); // "Jane Doe\r\nExample Corp\r\n"
        SendMessageA(TInputDialogHand::Button(dialog, "Done"), BM_CLICK, 0, 0);
    });
    FindComponentClick(f, "mnuFileOpen");
    EXPECT_EQ(dialogs.Shown().at(0).Text, "Select the signature file to use:");
    EXPECT_EQ(f.MemoEditor->Text(), "Jane Doe\r\nExample Corp\r\n");
    EXPECT_EQ(f.SigFile, sigFile);

    f.btnDisplay->Click();
    f.btnSaveSig->Click();
    const std::string first = Tagline();
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\nExample Corp\r\n" + first);
    EXPECT_EQ(ReadBytes(dir + "mv-sig.smv"), "Jane Doe\r\nExample Corp\r\n");
    EXPECT_EQ(ReadBytes(dir + "mv-tag.smv"), first);

    f.btnTimer->Click();
    EXPECT_TRUE(f.Timer->Enabled());
    f.sbChangeTag->Click();
    const std::string second = Tagline();
    EXPECT_NE(second, first);
    EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\nExample Corp\r\n" + second);
    EXPECT_EQ(ReadBytes(dir + "mv-sig.smv"), "Jane Doe\r\nExample Corp\r\n");
    EXPECT_EQ(ReadBytes(dir + "mv-tag.smv"), second);
    EXPECT_TRUE(f.Timer->Enabled());
    EXPECT_EQ(dialogs.Shown().size(), 1u) << Texts().back();
    Close();

    TMainForm& again = Create();
    EXPECT_TRUE(dialogs.Shown().empty()) << Texts()[0];
    EXPECT_EQ(again.SigFile, sigFile);
    EXPECT_EQ(again.MemoEditor->Text(), "Jane Doe\r\nExample Corp\r\n");
    EXPECT_EQ(again.MemoDisplay->Text(), "Jane Doe\r\nExample Corp\r\n" + second);
    EXPECT_EQ(Tagline(), second);
    EXPECT_EQ(again.MRUSigList->Items(), std::vector<std::string>{sigFile});
    EXPECT_TRUE(again.Timer->Enabled());
}

TEST_F(EndToEndTest, OnLoadWithUnloadChangesTwiceWritesAndEndsWithoutTheWarning) {
    const std::vector<std::string> rows = TaglinesAt({4, 5, 6});
    WriteBytes(sigFile, "old\r\n");
    WriteBytes(dir + "mv-sig.smv", "Jane Doe\r\n");
    WriteBytes(dir + "mv-tag.smv", rows[0]);
    WriteString("SigFile", sigFile);
    WriteString("Frequency", "OnLoad");
    WriteString("Sequencer", "Sequential");

    TMainForm& f = Create();
    EXPECT_EQ(Tagline(), rows[1]);
    EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\n" + rows[1]);
    EXPECT_FALSE(f.Timer->Enabled());
    EXPECT_FALSE(fw::Application().Terminated());

    f.CommandLineSwitches("C:\\Quiptide\\Quiptide.exe /UNLOAD");
    EXPECT_EQ(Tagline(), rows[2]);
    EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\n" + rows[2]);
    EXPECT_EQ(ReadBytes(dir + "mv-tag.smv"), rows[2]);
    EXPECT_TRUE(fw::Application().Terminated());
    EXPECT_TRUE(dialogs.Shown().empty()) << Texts()[0];
}

} // namespace
