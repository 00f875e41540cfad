// The main window's signature commands end to end on disk: choosing a signature through
// the selection dialog, the three ways LoadSig fills the window, composing and saving the
// signature file and its side files byte for byte, and dropped signature files.
#include "WindowTest.h"

#include "desktop/MRUList.h"

#include <shellapi.h>
#include <shlobj.h>

namespace {

const char* const kSigItems = "Software\\Brindlex\\Quiptide\\MRU Sig Items";

class MainSignatureTest : public WindowTest {
  protected:
    // The TagText of the table's row at that place in TagText order, read through a
    // window that is closed again.
    std::string TaglineAt(int row) {
        Create();
        form->Table1->SetIndexFieldNames("TagText");
        form->Table1->SetRecNo(row);
        std::string text = form->Table1->FieldByName("TagText").AsString();
        form.reset();
        dialogs.Clear();
        return text;
    }
};

TEST_F(MainSignatureTest, DoneTakesTheHighlightedTextAndListsTheFile) {
    const std::string content = "Jane Doe\r\nExample Corp\r\n-- \r\nan old tagline";
    WriteBytes(sigFile, content);
    TMainForm& f = Create();
    const std::string draftBefore = f.MemoDisplay->Text();
    TInputDialogHand hand([](HWND dialog, HWND memo) {
        SendMessageA(memo, EM_SETSEL, 0, 22);
        SendMessageA(TInputDialogHand::Button(dialog, "Done"), BM_CLICK, 0, 0);
    });
    f.OpenTheFile(sigFile);
    EXPECT_EQ(f.MemoEditor->Text(), "Jane Doe\r\nExample Corp");
    EXPECT_EQ(f.SigFile, sigFile);
    EXPECT_EQ(f.StatusBarTop->ShownText(0), "Sig File is: " + sigFile);
    ASSERT_EQ(f.MRUSigList->Items().size(), 1u);
    EXPECT_EQ(f.MRUSigList->Items()[0], sigFile);
    // Nothing is composed or written until the user displays and saves.
    EXPECT_EQ(f.MemoDisplay->Text(), draftBefore);
    EXPECT_EQ(ReadBytes(sigFile), content);
    EXPECT_FALSE(std::filesystem::exists(dir + "mv-sig.smv"));
    Close();
    EXPECT_EQ(ReadRegString(kSigItems, "F0"), sigFile);
}

TEST_F(MainSignatureTest, CancelLeavesBodyFileAndRecentListUnchanged) {
    WriteBytes(sigFile, "Jane Doe\r\n");
    TMainForm& f = Create();
    const std::string body = f.MemoEditor->Text();
    TInputDialogHand hand([](HWND dialog, HWND) {
        SendMessageA(TInputDialogHand::Button(dialog, "Cancel"), BM_CLICK, 0, 0);
    });
    f.OpenTheFile(sigFile);
    EXPECT_EQ(f.MemoEditor->Text(), body);
    EXPECT_EQ(f.SigFile, "");
    EXPECT_TRUE(f.MRUSigList->Items().empty());
    EXPECT_EQ(f.StatusBarTop->ShownText(0), "Select a Signature File");
}

TEST_F(MainSignatureTest, DoneWithNothingHighlightedEmptiesTheBodyAndKeepsTheOldFile) {
    WriteBytes(sigFile, "Jane Doe\r\n");
    TMainForm& f = Create();
    f.SigFile = dir + "other.pce";
    TInputDialogHand hand([](HWND dialog, HWND memo) {
        SendMessageA(memo, EM_SETSEL, 0, 0);
        SendMessageA(TInputDialogHand::Button(dialog, "Done"), BM_CLICK, 0, 0);
    });
    f.OpenTheFile(sigFile);
    EXPECT_EQ(f.MemoEditor->Text(), "");
    EXPECT_EQ(f.SigFile, dir + "other.pce");
    EXPECT_TRUE(f.MRUSigList->Items().empty());
}

TEST_F(MainSignatureTest, DoneIsTheDefaultButtonAndEscapeCancels) {
    WriteBytes(sigFile, "Jane Doe\r\n");
    TMainForm& f = Create();
    const std::string body = f.MemoEditor->Text();
    LONG doneStyle = 0, cancelStyle = 0;
    TInputDialogHand hand([&](HWND dialog, HWND) {
        doneStyle = GetWindowLongA(TInputDialogHand::Button(dialog, "Done"), GWL_STYLE);
        cancelStyle = GetWindowLongA(TInputDialogHand::Button(dialog, "Cancel"), GWL_STYLE);
        SetFocus(TInputDialogHand::Button(dialog, "Done"));
        keybd_event(VK_ESCAPE, 0, 0, 0);
        keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
    });
    f.OpenTheFile(sigFile);
    EXPECT_EQ(doneStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(cancelStyle & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(f.MemoEditor->Text(), body);
    EXPECT_EQ(f.SigFile, "");
}

TEST_F(MainSignatureTest, EnterChoosesDoneUnlessAnotherButtonHasTheFocus) {
    WriteBytes(sigFile, "Jane Doe\r\nExample Corp\r\n");
    TMainForm& f = Create();
    TInputDialogHand hand([](HWND dialog, HWND memo) {
        SendMessageA(memo, EM_SETSEL, 0, 8);
        SetFocus(TInputDialogHand::Button(dialog, "Done"));
        keybd_event(VK_RETURN, 0, 0, 0);
        keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
    });
    f.OpenTheFile(sigFile);
    EXPECT_EQ(f.MemoEditor->Text(), "Jane Doe");

    // The focused button takes the default frame from "Done" and answers Return.
    const std::string body = f.MemoEditor->Text();
    LONG doneStyle = 0, cancelStyle = 0;
    TInputDialogHand cancelHand([&](HWND dialog, HWND memo) {
        SendMessageA(memo, EM_SETSEL, 0, 4);
        SetFocus(TInputDialogHand::Button(dialog, "Cancel"));
        doneStyle = GetWindowLongA(TInputDialogHand::Button(dialog, "Done"), GWL_STYLE);
        cancelStyle = GetWindowLongA(TInputDialogHand::Button(dialog, "Cancel"), GWL_STYLE);
        keybd_event(VK_RETURN, 0, 0, 0);
        keybd_event(VK_RETURN, 0, KEYEVENTF_KEYUP, 0);
    });
    f.OpenTheFile(sigFile);
    EXPECT_EQ(f.MemoEditor->Text(), body);
    EXPECT_EQ(doneStyle & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(cancelStyle & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    // Still told of focus, so the frame can move on.
    EXPECT_TRUE(doneStyle & cancelStyle & BS_NOTIFY);
}

TEST_F(MainSignatureTest, ASignatureFileThatCannotBeWrittenIsRefusedWhenSelected) {
    WriteBytes(sigFile, "Jane Doe\r\n");
    TMainForm& f = Create();
    // Another program reads it and lets nobody write it.
    const HANDLE locked = CreateFileA(sigFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    bool shown = false;
    TInputDialogHand hand([&](HWND dialog, HWND) {
        shown = true;
        SendMessageA(TInputDialogHand::Button(dialog, "Cancel"), BM_CLICK, 0, 0);
    });
    EXPECT_THROW(f.OpenTheFile(sigFile), fw::EFileError);
    CloseHandle(locked);
    EXPECT_FALSE(shown);
    EXPECT_EQ(f.SigFile, "");
}

TEST_F(MainSignatureTest, AFailedSaveLeavesTheTimerOffAndACleanOneGivesItBack) {
    WriteBytes(sigFile, "Jane Doe\r\n");
    WriteString("SigFile", sigFile);
    TMainForm& f = Create();
    f.StartTimer(250);
    f.FileSave(nullptr);
    EXPECT_TRUE(f.Timer->Enabled());
    const HANDLE locked =
        CreateFileA(sigFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_THROW(f.FileSave(nullptr), fw::EFileError);
    CloseHandle(locked);
    // The error box that follows is not joined by a tick failing the same way.
    EXPECT_FALSE(f.Timer->Enabled());
}

TEST_F(MainSignatureTest, SaveAsOpensInTheProgramFolderOnceAFileWasChosen) {
    TMainForm& f = Create();
    dialogs.Answer(fw::mrCancel);
    f.FileSaveAs(nullptr);
    EXPECT_EQ(f.SaveDialog1.InitialDir, "");
    dialogs.Answer(fw::mrOk, dir + "chosen.pce");
    f.FileSaveAs(nullptr);
    EXPECT_EQ(f.SigFile, dir + "chosen.pce");
    EXPECT_EQ(f.SaveDialog1.InitialDir, f.ProgramDir);
    EXPECT_EQ(f.SaveDialog1.FileName, dir + "chosen.pce");
    std::filesystem::remove(dir + "chosen.pce");
}

TEST_F(MainSignatureTest, ADroppedSignatureFileStopsTheTimerAndOpensTheDialog) {
    WriteBytes(dir + "dropped.PCE", "Jane Doe\r\n");
    TMainForm& f = Create();
    f.StartTimer(250);
    bool shown = false;
    TInputDialogHand hand([&](HWND dialog, HWND) {
        shown = true;
        SendMessageA(TInputDialogHand::Button(dialog, "Cancel"), BM_CLICK, 0, 0);
    });
    const std::string name = dir + "dropped.PCE";
    HGLOBAL mem = GlobalAlloc(GHND, sizeof(DROPFILES) + name.size() + 2);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    memcpy(reinterpret_cast<char*>(df) + sizeof(DROPFILES), name.c_str(), name.size() + 1);
    GlobalUnlock(mem);
    f.WMDropFiles(static_cast<HDROP>(mem));
    EXPECT_TRUE(shown);
    EXPECT_FALSE(f.Timer->Enabled());
    EXPECT_EQ(f.btnTimer->Caption(), "Start &Timer");
}

TEST_F(MainSignatureTest, FirstRunShowsTheGettingStartedLines) {
    TMainForm& f = Create();
    EXPECT_EQ(f.MemoEditor->Text(),
              "1. Go to \"File|Select Signature\" and select the signature file to use; Or type "
              "your signature here.\r\n"
              "2. The select a tagline and click \"Display Draft\" to show the draft signature.\r\n"
              "3. Lastly, save the revised signature file and start the timer.\r\n");
    EXPECT_EQ(f.MemoDisplay->Text(), "");
    EXPECT_FALSE(f.Timer->Enabled());
    EXPECT_EQ(f.TrayIcon1->ToolTip(), "Quiptide is idle.");
}

TEST_F(MainSignatureTest, AMissingSignatureFileIsExplainedOnceAtStart) {
    const std::string tagline = TaglineAt(2);
    WriteBytes(dir + "mv-sig.smv", "Jane Doe");
    WriteBytes(dir + "mv-tag.smv", tagline);
    WriteString("SigFile", sigFile);
    WriteString("Frequency", "Hourly");
    TMainForm& f = Create();
    EXPECT_EQ(f.MemoEditor->Text(), "The file " + sigFile +
                                        " cannot be found.\r\n"
                                        "It has either been deleted or moved.\r\n"
                                        "Go to \"File|Select Signature\" and select the signature "
                                        "file to use; Or type your signature here.\r\n");
    EXPECT_EQ(f.MemoDisplay->Text(), "");
    // Without the signature file the saved tagline is not read back, so it is not found
    // either; the save is refused once (the second save of the start skips a missing file).
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Tagline not found!",
                                        "Sorry. You must use the \"File|SaveAs\" menu item"}));
    EXPECT_FALSE(std::filesystem::exists(sigFile));
}

TEST_F(MainSignatureTest, StartRebuildsTheDocumentFromDiskAndFindsTheSavedTagline) {
    const std::string tagline = TaglineAt(3);
    WriteBytes(dir + "mv-sig.smv", "Jane Doe\rExample Corp");
    WriteBytes(dir + "mv-tag.smv", tagline);
    WriteBytes(sigFile, "what the mail reader reads\n");
    WriteString("SigFile", sigFile);
    TMainForm& f = Create(); // "Daily": nothing is saved at start
    EXPECT_TRUE(dialogs.Shown().empty()) << Texts()[0];
    EXPECT_EQ(f.MemoEditor->Text(), "Jane Doe\r\nExample Corp");
    EXPECT_EQ(f.MemoDisplay->Text(), "what the mail reader reads\r\n");
    EXPECT_EQ(f.MemoMisc->Text(), tagline);
    EXPECT_EQ(Tagline(), tagline);
    EXPECT_EQ(ReadBytes(sigFile), "what the mail reader reads\n");
    EXPECT_TRUE(f.Timer->Enabled());
    EXPECT_EQ(f.TrayIcon1->ToolTip(), "Quiptide is cycling Taglines!");

    // A saved tagline that is no longer in the table leaves the table where it was.
    WriteBytes(dir + "mv-tag.smv", "a tagline nobody wrote");
    f.btnReloadClick(nullptr);
    EXPECT_EQ(dialogs.Last().Text, "Tagline not found!");
    EXPECT_EQ(Tagline(), tagline);
    EXPECT_FALSE(f.Timer->Enabled());
}

TEST_F(MainSignatureTest, ASignatureFileThatCannotBeOpenedStillLoadsTheBodyAndTheSavedTagline) {
    const std::string tagline = TaglineAt(3);
    WriteBytes(dir + "mv-sig.smv", "Jane Doe");
    WriteBytes(dir + "mv-tag.smv", tagline);
    WriteBytes(sigFile, "what the mail reader reads\r\n");
    WriteString("SigFile", sigFile);
    // Another program reads it and lets nobody write it.
    const HANDLE locked = CreateFileA(sigFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    TMainForm& f = Create();
    ASSERT_FALSE(dialogs.Shown().empty());
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtError);
    EXPECT_EQ(f.MemoEditor->Text(), "Jane Doe");
    EXPECT_EQ(f.MemoMisc->Text(), tagline);
    EXPECT_EQ(f.MemoDisplay->Text(), "");

    // Reload does the same, in the same order: the old texts do not stay.
    f.MemoEditor->SetText("typed since");
    f.MemoDisplay->SetText("an old draft");
    f.MemoMisc->SetText("an old tagline");
    EXPECT_THROW(f.btnReloadClick(nullptr), fw::EFileError);
    CloseHandle(locked);
    EXPECT_EQ(f.MemoEditor->Text(), "Jane Doe");
    EXPECT_EQ(f.MemoMisc->Text(), tagline);
    EXPECT_EQ(f.MemoDisplay->Text(), "");
    EXPECT_EQ(ReadBytes(sigFile), "what the mail reader reads\r\n");
}

TEST_F(MainSignatureTest, SaveWritesTheDraftOverALongerFileAndBothSideFiles) {
    WriteBytes(sigFile, std::string(500, 'x'));
    WriteString("SigFile", sigFile);
    WriteString("CustDate", "mm/dd/yy");
    TMainForm& f = Create();
    clock.SetLocal(2026, 12, 6, 14, 5, 0);
    f.MemoEditor->SetText("Jane Doe\r\n#DATE#");
    f.btnDisplay->Click();
    const std::string tagline = Tagline();
    ASSERT_FALSE(tagline.empty());
    EXPECT_EQ(f.MemoDisplay->Text(), "Jane Doe\r\n12/06/26\r\n" + tagline);
    EXPECT_EQ(ReadBytes(sigFile), std::string(500, 'x')); // displaying writes nothing

    f.btnSaveSig->Click();
    EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\n12/06/26\r\n" + tagline);
    EXPECT_EQ(ReadBytes(dir + "mv-sig.smv"), "Jane Doe\r\n#DATE#");
    EXPECT_EQ(ReadBytes(dir + "mv-tag.smv"), tagline);
    EXPECT_EQ(ReadBytes(dir + "UserVars.QTV"), "#DATE#\r\n#TIME#\r\n");
    EXPECT_EQ(f.Date, fw::DateToStr(clock.local));
    EXPECT_EQ(f.LastSave.wHour, 14);

    // On top, the tagline leads and every body line keeps one line break.
    f.sbTagPosClick(nullptr);
    EXPECT_TRUE(f.TagPos);
    EXPECT_EQ(f.MemoDisplay->Text(), tagline + "\r\nJane Doe\r\n12/06/26\r\n");
    EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\n12/06/26\r\n" + tagline);

    f.btnClearEditorClick(nullptr);
    f.sbTagPosClick(nullptr);
    f.FileSave(nullptr);
    EXPECT_EQ(ReadBytes(sigFile), tagline);
}

TEST_F(MainSignatureTest, SaveWithoutASignatureFileWritesNothingAndKeepsTheTimerRunning) {
    TMainForm& f = Create();
    f.StartTimer(250);
    f.FileSave(nullptr);
    EXPECT_EQ(dialogs.Last().Text, "Sorry. You must use the \"File|SaveAs\" menu item");
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtError);
    EXPECT_TRUE(f.Timer->Enabled());
    EXPECT_FALSE(std::filesystem::exists(dir + "mv-sig.smv"));
    EXPECT_FALSE(std::filesystem::exists(dir + "mv-tag.smv"));
}

TEST_F(MainSignatureTest, SaveAsMakesTheChosenFileTheSignatureFile) {
    TMainForm& f = Create();
    f.MemoEditor->SetText("Jane Doe\r\n");
    f.btnDisplayClick(nullptr);
    const std::string chosen = dir + "new.pce";
    dialogs.Answer(fw::mrOk, chosen);
    f.FileSaveAs(nullptr);
    EXPECT_EQ(ReadBytes(chosen), "Jane Doe\r\n" + Tagline());
    EXPECT_EQ(ReadBytes(dir + "mv-sig.smv"), "Jane Doe\r\n");
    EXPECT_EQ(f.SigFile, chosen);
    EXPECT_TRUE(f.MRUSigList->Items().empty());
}

} // namespace
