// The main window's signature commands: composing the draft, saving the signature file
// and its side files, choosing a signature from a mail signature file, reloading, and
// the recent-signatures list.
#include "rotation/Main.h"

#include "desktop/Brkapart.h"
#include "desktop/MRUList.h"
#include "framework/DateFormat.h"
#include "framework/Dialogs.h"
#include "framework/Paths.h"
#include "framework/TimerPause.h"
#include "rotation/Clock.h"
#include "rotation/Input.h"
#include "rotation/SignatureDocument.h"
#include "rotation/SignatureFiles.h"

#include <commdlg.h>

void TMainForm::CreateSignatureComponents() {
    Clock = &SystemClock();
    OpenDialog.Options = OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT | OFN_PATHMUSTEXIST |
                         OFN_FILEMUSTEXIST | OFN_NOREADONLYRETURN;
    BreakIt = new TBrkApart(this);
    BreakIt->SetName("BreakIt");
    BreakIt->AllowEmptyString = true; // empty pieces kept, for the word splitting
    MRUSigList = new TMRUFileList(this);
    MRUSigList->SetName("MRUSigList");
    MRUSigList->RemoveOnClick = false;
    MRUSigList->AutoSaveName = "\\Software\\Brindlex\\Quiptide\\";
    MRUSigList->AutoSaveKey = "MRU Sig Items";
    MRUSigList->OnMRUItemClick = [this](fw::TComponent* s, const std::string& fileName) {
        MRUSigListMRUItemClick(s, fileName);
    };
    MRUSigList->SetFileMenu(dynamic_cast<fw::TMenuItem*>(FindComponent("N1")));
    // Made after the layout was read, so it loads its saved list here.
    MRUSigList->Loaded();
}

TSignatureDocument TMainForm::Document() const {
    return TSignatureDocument(ProgramDir, *BreakIt, *Clock);
}

std::string TMainForm::ExpandVariables(const std::string& text) {
    return Document().ExpandVariables(text, CustDate, CustTime);
}

void TMainForm::btnDisplayClick(fw::TComponent*) {
    // One replacement of the whole text: the draft is never seen half made.
    MemoDisplay->SetText(
        Document().ComposeDraft(MemoEditor->Text(), DBMemo->Text(), TagPos, CustDate, CustTime));
}

void TMainForm::FileSave(fw::TComponent*) {
    fw::TTimerPause pause(*Timer);
    if (SigFile.empty() || !fw::FileExists(SigFile)) {
        fw::MessageDlg("Sorry. You must use the \"File|SaveAs\" menu item",
                       fw::TMsgDlgType::mtError, fw::TMsgDlgButtons::mbOK);
        return;
    }
    Document().Save(SigFile, MemoDisplay->Text(), MemoEditor->Text(), DBMemo->Text());
    FillTopPanel();
    CountIntervalFromNow();
    Date = fw::DateToStr(LastSave);
}

void TMainForm::FileSaveAs(fw::TComponent*) {
    fw::TTimerPause pause(*Timer);
    // The dialog keeps the last name chosen, and opens in the program folder once a file
    // was chosen through it.
    SaveDialog1.Filter = "Eudora Primary|signatur.pce|Eudora Alternate|signatur.alt|Pegasus|*.pms|"
                         "Text File|*.txt|All Files|*.*";
    SaveDialog1.DefaultExt = "pce";
    SaveDialog1.Options =
        OFN_OVERWRITEPROMPT | OFN_CREATEPROMPT | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    if (!fw::Dialogs().SaveFile(SaveDialog1))
        return;
    SaveDialog1.InitialDir = ProgramDir;
    Document().SaveAs(SaveDialog1.FileName, MemoDisplay->Text(), MemoEditor->Text(),
                      DBMemo->Text());
    SigFile = SaveDialog1.FileName;
    FillTopPanel();
}

void TMainForm::FileOpen(fw::TComponent*) {
    OpenDialog.Title = "Select the signature file to use:";
    OpenDialog.Filter =
        "Eudora Primary (signatur.pce)|*.pce|Eudora Alternate (signature.alt)|*.alt|"
        "Pegasus (*.pms)|*.pms|Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
    OpenDialog.InitialDir = ProgramDir;
    // Its own options, whatever a table command left: the file must exist.
    OpenDialog.Options =
        OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOREADONLYRETURN;
    if (!fw::Dialogs().OpenFile(OpenDialog))
        return;
    StopTimer();
    OpenTheFile(OpenDialog.FileName);
}

void TMainForm::OpenTheFile(const std::string& fileName) {
    TInputForm input(this);
    input.RichEdit->SetText("Use your mouse to highlight the signature part of the file you "
                            "just opened. If your file did not include a tagline, then select "
                            "the entire file.");
    input.MemoInput->SetText(LoadSignatureFile(fileName));
    if (input.ShowModal() != fw::mrOk)
        return;
    MemoEditor->SetText(input.Selected());
    if (MemoEditor->Text().empty()) {
        FillTopPanel();
        return;
    }
    SigFile = fileName;
    FillTopPanel();
    MRUSigList->AddItem(fileName);
}

void TMainForm::LoadSig() {
    TLoadedSignature loaded = Document().LoadSig(SigFile);
    MemoDisplay->SetText(loaded.draft);
    MemoEditor->SetText(loaded.body);
    if (loaded.savedTagline)
        MemoMisc->SetText(*loaded.savedTagline);
    if (loaded.error)
        std::rethrow_exception(loaded.error);
}

void TMainForm::btnReloadClick(fw::TComponent*) {
    if (Timer->Enabled())
        btnTimerClick(btnTimer);
    LoadSig();
    FindTag();
    btnDisplayClick(this);
}

void TMainForm::btnClearEditorClick(fw::TComponent*) {
    MemoEditor->Clear();
}

void TMainForm::sbTagPosClick(fw::TComponent*) {
    TagPos = !TagPos;
    btnDisplayClick(this);
}

void TMainForm::MRUSigListMRUItemClick(fw::TComponent*, const std::string& fileName) {
    // Like the other ways of opening a signature, a new body stops the cycling first.
    StopTimer();
    OpenTheFile(fileName);
}
