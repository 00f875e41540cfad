// The table utility window: its layout and engine component, the statistics, and the
// verify, rebuild and close buttons with the messages that follow them.
#include "tableutil/Tumain.h"

#include "framework/Application.h"
#include "framework/ClassRegistry.h"
#include "framework/Dialogs.h"
#include "framework/LayoutReader.h"
#include "framework/Paths.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Session.h"
#include "tableutil/TableNames.h"

#include <commctrl.h>

namespace {

constexpr int kWidth = 471;
constexpr int kHeight = 216;

void Inform(const std::string& text) {
    fw::MessageDlg(text, fw::TMsgDlgType::mtInformation, fw::TMsgDlgButtons::mbOK);
}

std::string FullPath(const std::string& name) {
    char buffer[MAX_PATH];
    const DWORD n = GetFullPathNameA(name.c_str(), MAX_PATH, buffer, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : name;
}

} // namespace

bool TExitEdit::SetProperty(const std::string& name, const fw::TLayoutValue& v,
                            const fw::TEventTable& e) {
    if (name != "OnExit")
        return TEdit::SetProperty(name, v, e);
    OnExit = e.Notify(v.AsIdent());
    return true;
}

void TExitEdit::HandleCreated() {
    TEdit::HandleCreated();
    SetWindowSubclass(Handle(), FocusProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TExitEdit::FocusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self) {
    if (msg == WM_NCDESTROY)
        RemoveWindowSubclass(hwnd, FocusProc, id);
    const LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
    if (msg == WM_KILLFOCUS) {
        const HWND to = reinterpret_cast<HWND>(wParam);
        const HWND window = GetAncestor(hwnd, GA_ROOT);
        auto* edit = reinterpret_cast<TExitEdit*>(self);
        if (edit->OnExit && to && IsWindowVisible(window) && IsChild(window, to))
            fw::Application().Protect([edit] { edit->OnExit(edit); });
    }
    return result;
}

TFormTUMain::TFormTUMain(fw::TComponent* owner, const std::string& tablePath,
                         const std::string& discardedBackup)
    : TForm(owner), tablePath_(tablePath), discardedBackup_(discardedBackup) {
    fw::RegisterComponentClass<TExitEdit>("TExitEdit");
    fw::TEventTable e;
    e.Add("EditFileNameExit", this, &TFormTUMain::EditFileNameExit);
    e.Add("ButtonVerifyClick", this, &TFormTUMain::ButtonVerifyClick);
    e.Add("ButtonRebuildClick", this, &TFormTUMain::ButtonRebuildClick);
    e.Add("ButtonCloseClick", this, &TFormTUMain::ButtonCloseClick);
    Build(fw::LoadLayoutResource("TABLEREPAIR"), e);
    GroupBoxSelectTable = LayoutComponent<fw::TGroupBox>("GroupBoxSelectTable");
    GroupBoxViewInfo = LayoutComponent<fw::TGroupBox>("GroupBoxViewInfo");
    EditFileName = LayoutComponent<TExitEdit>("EditFileName");
    LabelNumRecs = LayoutComponent<fw::TLabel>("LabelNumRecs");
    LabelNumFields = LayoutComponent<fw::TLabel>("LabelNumFields");
    LabelRecSize = LayoutComponent<fw::TLabel>("LabelRecSize");
    LabelPasswordTF = LayoutComponent<fw::TLabel>("LabelPasswordTF");
    LabelNumAuxPasswords = LayoutComponent<fw::TLabel>("LabelNumAuxPasswords");
    ButtonVerify = LayoutComponent<fw::TButton>("ButtonVerify");
    ButtonRebuild = LayoutComponent<fw::TButton>("ButtonRebuild");
    ButtonClose = LayoutComponent<fw::TButton>("ButtonClose");
    ButtonHelp = LayoutComponent<fw::TButton>("ButtonHelp");

    VerifyDlg1 = new TVerifyDlg(this);
    RebuildDlg1 = new TRebuildDlg(this);
    TUtility1 = new TTUtility(this);
    TUtility1->CBActive = true;
    TUtility1->Pack = false;
    TUtility1->SettErrTableName("__TUERR.DB");
    TUtility1->SettBkUpTableName("BackUp.DB");
    TUtility1->SettKeyVTableName("KEYVIOL.DB");
    TUtility1->SettProbTableName("PROBLEMS.DB");
    TUtility1->SetCBVerifyDialog(VerifyDlg1);
    TUtility1->SetCBRebuildDialog(RebuildDlg1);
    fw::Application().Protect([this] { FormCreate(this); });
}

fw::TWinControl::TCreateParams TFormTUMain::CreateParams() const {
    return {nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
            WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
}

void TFormTUMain::HandleCreated() {
    TForm::HandleCreated();
    SetBounds((GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
              (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight);
}

void TFormTUMain::EnableButtons(bool on) {
    ButtonVerify->SetEnabled(on);
    ButtonRebuild->SetEnabled(on && TUtility1->TableInfo().RebuildPossible != 0);
}

void TFormTUMain::ShowTableInfo() {
    const TTableInfo& info = TUtility1->TableInfo();
    LabelNumRecs->SetCaption(std::to_string(info.RecordCount));
    LabelRecSize->SetCaption(std::to_string(info.RecordSize));
    LabelNumFields->SetCaption(std::to_string(info.FieldCount));
    LabelNumAuxPasswords->SetCaption(std::to_string(info.AuxPasswords));
    LabelPasswordTF->SetCaption(info.PasswordProtected ? "True" : "False");
}

void TFormTUMain::ClearErrorTable() {
    if (!BtnBottomDlg)
        return;
    fw::TTable& t = *BtnBottomDlg->TableErrTable;
    t.Close();
    std::string name = t.TableName();
    if (tablenames::FilePart(name).find('.') == std::string::npos)
        name += ".DB";
    if (tablenames::DirectoryPart(name).empty())
        name = tablenames::WithBackslash(fw::TSession::Default().PrivateDir()) + name;
    if (fw::FileExists(name))
        fw::CheckCall(idpDeleteTable(name.c_str()));
}

void TFormTUMain::FormCreate(fw::TComponent*) {
    BtnBottomDlg = new TBtnBottomDlg(this);
    EnableButtons(false);
    ClearErrorTable();
    struct TAfter {
        TFormTUMain& f;
        ~TAfter() { f.EnableButtons(fw::FileExists(f.TUtility1->TableName())); }
    } after{*this};
    TUtility1->SetTableName(tablePath_);
    EditFileName->SetText(TUtility1->TableName());
    ShowTableInfo();
}

void TFormTUMain::EditFileNameExit(fw::TComponent*) {
    const std::string text = EditFileName->Text();
    if (text.empty())
        return;
    try {
        if (tablenames::FilePart(TUtility1->TableName()) != tablenames::FilePart(text))
            ClearErrorTable();
        TUtility1->SetTableName(FullPath(text));
        ShowTableInfo();
        EnableButtons(true);
    } catch (...) {
        EnableButtons(false);
        throw;
    }
}

void TFormTUMain::ButtonVerifyClick(fw::TComponent*) {
    ClearErrorTable();
    {
        fw::TWaitCursor wait;
        TUtility1->VerifyTable();
    }
    const int level = TUtility1->ErrorLevel();
    if (level == 0) {
        Inform("GOOD NEWS!\n\rHeader and Data are O.K.");
        return;
    }
    if (fw::MessageDlg("The table is corrupt and must be repaired! \n\rDo you want to view the "
                       "problems?",
                       fw::TMsgDlgType::mtWarning, fw::TMsgDlgButtons::mbYesNo) != fw::mrYes)
        return;
    if (BtnBottomDlg) {
        fw::TTable& t = *BtnBottomDlg->TableErrTable;
        t.SetDatabaseName(fw::TSession::Default().PrivateDir());
        t.Open();
        struct TClose {
            fw::TTable& t;
            ~TClose() { t.Close(); }
        } close{t};
        BtnBottomDlg->ShowModal();
    }
    if (level < 3)
        ButtonRebuild->SetEnabled(true);
    else if (level == 3)
        fw::MessageDlg("The cannot be automatically rebuilt.\n\rDo you want to view the problems?",
                       fw::TMsgDlgType::mtWarning, fw::TMsgDlgButtons::mbOK);
    else if (level == 4)
        Inform("BAD NEWS! The cannot be rebuilt.\n\rReload from backups.");
}

void TFormTUMain::ButtonRebuildClick(fw::TComponent*) {
    if (TUtility1->ErrorLevel() >= 3) {
        Inform("BAD NEWS! The Table cannot be rebuilt.\n\rReload from backups.");
        return;
    }
    {
        fw::TWaitCursor wait;
        TUtility1->RebuildTable(TUtility1->GetTableDesc());
        // The statistics are the rebuilt table's now.
        TUtility1->SetTableName(TUtility1->TableName());
        ShowTableInfo();
    }
    const std::string backup = TUtility1->BackupTablePath() + ".DB";
    if (fw::FileExists(backup) && lstrcmpiA(backup.c_str(), discardedBackup_.c_str()) != 0)
        Inform("Table Successfully rebuilt!\n\rThe original table is kept as " + backup + ".");
    else
        Inform("Table Successfully rebuilt!");
}

void TFormTUMain::ButtonCloseClick(fw::TComponent*) {
    ClearErrorTable();
    delete BtnBottomDlg;
    BtnBottomDlg = nullptr;
    ModalResult = fw::mrCancel;
}
