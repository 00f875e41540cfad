// The main window: building it from its layout, the handlers the layout names, the
// menus' and toolbar's state, the status panels and the window's own messages.
#include "rotation/Main.h"

#include "desktop/DesktopClasses.h"
#include "desktop/RegFiles.h"
#include "desktop/TrayIcon.h"
#include "framework/Application.h"
#include "framework/Exception.h"
#include "taglinedb/VCSpeller.h"

#include <shellapi.h>

namespace {

// The component of the layout with that name and class; a layout that lacks it is
// broken, which start-up reports.
template <typename T> T* Bind(fw::TComponent& form, const std::string& name) {
    T* c = dynamic_cast<T*>(form.FindComponent(name));
    if (!c)
        throw fw::Exception("Component " + name + " missing from the main window's layout");
    return c;
}

} // namespace

TMainForm::TMainForm(fw::TComponent* owner) : TForm(owner) {
    fw::RegisterDataControlClasses();
    RegisterDesktopClasses();
    TVCSpeller::RegisterLayoutClass();
    OnCloseQuery = [this](fw::TComponent* s, bool& canClose) { FormCloseQuery(s, canClose); };
    OnClose = [this](fw::TComponent* s) { FormClose(s); };
    // FormCreate runs once every component is bound, so the layout's OnCreate is not used.
    Build(fw::LoadLayoutResource("MAINFORM"), Events());
    BindComponents();
    CreateTableComponents();
    CreateSpellComponents();
    CreateSignatureComponents();
    fw::Application().Protect([this] { FormCreate(this); });
}

fw::TEventTable TMainForm::Events() {
    fw::TEventTable e;
    auto bind = [&](const char* name, void (TMainForm::*handler)(fw::TComponent*)) {
        e.Add(name, fw::TNotifyEvent([this, handler](fw::TComponent* s) { (this->*handler)(s); }));
    };
    bind("FormActivate", &TMainForm::FormActivate);
    bind("FileExit", &TMainForm::FileExit);
    bind("mnuFileSaveSettingsClick", &TMainForm::mnuFileSaveSettingsClick);
    bind("popTrayRestoreClick", &TMainForm::popTrayRestoreClick);
    bind("popTrayMinimizeClick", &TMainForm::popTrayMinimizeClick);
    bind("HelpContents", &TMainForm::HelpContents);
    bind("HelpSearch", &TMainForm::HelpSearch);
    bind("mnuHelpRevisionHistoryClick", &TMainForm::mnuHelpRevisionHistoryClick);
    bind("HelpAbout", &TMainForm::HelpAbout);
    bind("mnuDBSelectClick", &TMainForm::mnuDBSelectClick);
    bind("mnuDBCreateClick", &TMainForm::mnuDBCreateClick);
    bind("mnuDBSaveAsClick", &TMainForm::mnuDBSaveAsClick);
    bind("mnuDBMergeClick", &TMainForm::mnuDBMergeClick);
    bind("mnuDBDeleteClick", &TMainForm::mnuDBDeleteClick);
    bind("mnuDBImportClick", &TMainForm::mnuDBImportClick);
    bind("mnuDBPackClick", &TMainForm::mnuDBPackClick);
    bind("mnuDBFindClick", &TMainForm::mnuDBFindClick);
    bind("mnuDBFindNextClick", &TMainForm::mnuDBFindNextClick);
    bind("popTrayTagThiefClick", &TMainForm::popTrayTagThiefClick);
    bind("btnDisplayClick", &TMainForm::btnDisplayClick);
    bind("FileSave", &TMainForm::FileSave);
    bind("FileSaveAs", &TMainForm::FileSaveAs);
    bind("FileOpen", &TMainForm::FileOpen);
    bind("btnReloadClick", &TMainForm::btnReloadClick);
    bind("btnClearEditorClick", &TMainForm::btnClearEditorClick);
    bind("sbTagPosClick", &TMainForm::sbTagPosClick);
    bind("btnTimerClick", &TMainForm::btnTimerClick);
    bind("TimerTimer", &TMainForm::TimerTimer);
    bind("popTrayChangeTagNowClick", &TMainForm::popTrayChangeTagNowClick);
    bind("mnuSetupDemoClick", &TMainForm::mnuSetupDemoClick);
    bind("mnuSetupConfigClick", &TMainForm::mnuSetupConfigClick);
    bind("popTrayStatusClick", &TMainForm::popTrayStatusClick);
    bind("mnuSpellTagClick", &TMainForm::mnuSpellTagClick);
    bind("mnuSpellDBClick", &TMainForm::mnuSpellDBClick);
    bind("mnuSpellSigClick", &TMainForm::mnuSpellSigClick);
    e.Add("TrayIcon1RightClick",
          fw::TMouseEvent([this](fw::TComponent* s, fw::TMouseButton b, fw::TShiftState sh, int x,
                                 int y) { TrayIcon1RightClick(s, b, sh, x, y); }));
    return e;
}

void TMainForm::BindComponents() {
    MainMenu = Bind<fw::TMainMenu>(*this, "MainMenu");
    SpeedBar = Bind<fw::TPanel>(*this, "SpeedBar");
    sbOpen = Bind<fw::TSpeedButton>(*this, "sbOpen");
    sbDBSelect = Bind<fw::TSpeedButton>(*this, "sbDBSelect");
    sbSave = Bind<fw::TSpeedButton>(*this, "sbSave");
    sbSpellSig = Bind<fw::TSpeedButton>(*this, "sbSpellSig");
    sbSpellTag = Bind<fw::TSpeedButton>(*this, "sbSpellTag");
    sbChangeTag = Bind<fw::TSpeedButton>(*this, "sbChangeTag");
    sbTagPos = Bind<fw::TSpeedButton>(*this, "sbTagPos");
    sbHelp = Bind<fw::TSpeedButton>(*this, "sbHelp");
    SpeedButton6 = Bind<fw::TSpeedButton>(*this, "SpeedButton6");
    GroupBox1 = Bind<fw::TGroupBox>(*this, "GroupBox1");
    GroupBox2 = Bind<fw::TGroupBox>(*this, "GroupBox2");
    GroupBox3 = Bind<fw::TGroupBox>(*this, "GroupBox3");
    MemoDisplay = Bind<fw::TMemo>(*this, "MemoDisplay");
    MemoEditor = Bind<fw::TMemo>(*this, "MemoEditor");
    MemoMisc = Bind<fw::TMemo>(*this, "MemoMisc");
    btnReload = Bind<fw::TButton>(*this, "btnReload");
    btnDisplay = Bind<fw::TButton>(*this, "btnDisplay");
    btnSaveSig = Bind<fw::TButton>(*this, "btnSaveSig");
    btnClearEditor = Bind<fw::TButton>(*this, "btnClearEditor");
    btnTimer = Bind<fw::TBitBtn>(*this, "btnTimer");
    DBLookupComboBox1 = Bind<fw::TDBLookupComboBox>(*this, "DBLookupComboBox1");
    DBMemo = Bind<fw::TDBMemo>(*this, "DBMemo");
    DBNavigator = Bind<fw::TDBNavigator>(*this, "DBNavigator");
    StatusBarTop = Bind<fw::TStatusBar>(*this, "StatusBarTop");
    StatusBarBottom = Bind<fw::TStatusBar>(*this, "StatusBarBottom");
    Timer = Bind<fw::TTimer>(*this, "Timer");
    TrayIcon1 = Bind<TTrayIcon>(*this, "TrayIcon1");
    popTray = Bind<fw::TPopupMenu>(*this, "popTray");
    popMain = Bind<fw::TPopupMenu>(*this, "popMain");
    popTrayToggleTimer = Bind<fw::TMenuItem>(*this, "popTrayToggleTimer");
    Reg = Bind<TRegFile>(*this, "Reg");
}

void TMainForm::SetupMenus() {
    SpeedBar->SetVisible(ToolBar);
    SetShowHint(Hints);
    for (TComponent* c : Components()) {
        if (auto* item = dynamic_cast<fw::TMenuItem*>(c))
            item->SetEnabled(true);
        else if (auto* button = dynamic_cast<fw::TSpeedButton*>(c))
            button->SetEnabled(true);
    }
    DBNavigator->SetEnabled(true);
}

void TMainForm::FillTopPanel() {
    StatusBarTop->BeginUpdate();
    StatusBarTop->Panel(0).SetText(SigFile.empty() ? "Select a Signature File"
                                                   : "Sig File is: " + SigFile);
    StatusBarTop->Panel(1).SetText(Sequencer);
    StatusBarTop->EndUpdate();
}

void TMainForm::FillBottomPanel() {
    StatusBarBottom->BeginUpdate();
    StatusBarBottom->Panel(0).SetText("DB File is: " + DBFile);
    StatusBarBottom->Panel(1).SetText(
        Frequency == "Variable" ? Frequency + " (" + std::to_string(Interval) + ")" : Frequency);
    StatusBarBottom->EndUpdate();
}

LRESULT TMainForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DROPFILES) {
        WMDropFiles(reinterpret_cast<HDROP>(wParam));
        return DefaultProc(msg, wParam, lParam);
    }
    if (msg == WM_QUERYENDSESSION)
        return QueryEndSession();
    if (msg == WM_ENDSESSION) {
        if (wParam)
            EndSession();
        return 0;
    }
    return TForm::WndProc(msg, wParam, lParam);
}
