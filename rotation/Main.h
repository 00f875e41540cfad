// TMainForm: the program's one main window. It owns every other piece, holds the
// settings record, starts the program (FormCreate), obeys the command line, lives in the
// notification area when minimized, accepts dropped files and warns before closing.
#pragma once

#include "framework/data/DataControls.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "framework/GlyphButtons.h"
#include "framework/GroupBox.h"
#include "framework/Memo.h"
#include "framework/Menus.h"
#include "framework/Panel.h"
#include "framework/PushButton.h"
#include "framework/StatusBar.h"
#include "framework/Timer.h"
#include "desktop/SetupHost.h"
#include "rotation/CyclingRound.h"
#include "taglinedb/SpellHost.h"
#include "taglinedb/TaglineFind.h"
#include "taglinedb/TaglineHost.h"
#include "tableutil/TableUtilHost.h"

#include <optional>
#include <string>

class TBrkApart;
class TClock;
class TMRUFileList;
class TRegFile;
class TSignatureDocument;
class TSpellCommands;
class TTableMaintenance;
class TTaglineDatabase;
class TTrayIcon;
class TVCSpeller;
namespace fw {
class TBatchMove;
class TTable;
class TDataSource;
} // namespace fw

class TMainForm : public fw::TForm,
                  public TTaglineHost,
                  public TSetupHost,
                  public TTableUtilHost,
                  public TSpellHost,
                  public TTaglineFindHost {
  public:
    // Builds the window from its stored layout and runs FormCreate.
    explicit TMainForm(fw::TComponent* owner);

    // Components of the layout.
    fw::TMainMenu* MainMenu;
    fw::TPanel* SpeedBar;
    fw::TSpeedButton *sbOpen, *sbDBSelect, *sbSave, *sbSpellSig, *sbSpellTag, *sbChangeTag,
        *sbTagPos, *sbHelp, *SpeedButton6;
    fw::TGroupBox *GroupBox1, *GroupBox2, *GroupBox3;
    fw::TMemo *MemoDisplay, *MemoEditor, *MemoMisc;
    fw::TButton *btnReload, *btnDisplay, *btnSaveSig, *btnClearEditor;
    fw::TBitBtn* btnTimer;
    fw::TDBLookupComboBox* DBLookupComboBox1;
    fw::TDBMemo* DBMemo;
    fw::TDBNavigator* DBNavigator;
    fw::TStatusBar *StatusBarTop, *StatusBarBottom;
    fw::TTimer* Timer;
    TTrayIcon* TrayIcon1;
    fw::TPopupMenu *popTray, *popMain;
    fw::TMenuItem* popTrayToggleTimer;
    TRegFile* Reg;
    // The tagline table subsystem, and the components of it that the window names: the
    // tagline table, the spare table of checks and copies, the controls' source and the
    // recent tables.
    TTaglineDatabase* Taglines = nullptr;
    TTableMaintenance* Maintenance = nullptr;
    fw::TBatchMove* BatchMove = nullptr;
    fw::TTable *Table1 = nullptr, *Table2 = nullptr;
    fw::TDataSource* DataSource1 = nullptr;
    TMRUFileList* MRUDBList = nullptr;

    // The settings record, each field named after its registry value.
    std::string Sequencer, Frequency, SpawnPrg;
    bool Spawn = false, Warn = true;
    std::string SigFile, DBFile, Date;
    int Interval = 5;
    bool Hints = true, ToolBar = true, Tray = true, TagPos = false;
    std::string CustDate, CustTime;

    // The window's own state.
    short StartShowCmd = SW_SHOWNORMAL;
    std::string ProgramDir, SigSideFile, TagSideFile, LastSaveTime, PrevFrequency;

    // Start-up and closing.
    void FormCreate(fw::TComponent* sender);
    void FormActivate(fw::TComponent* sender);
    void FormCloseQuery(fw::TComponent* sender, bool& canClose);
    void FormClose(fw::TComponent* sender);
    void FileExit(fw::TComponent* sender);
    // The end of the session, or an installer replacing the program: no question asked,
    // the settings saved. Declined while a window of the program's own is open.
    bool QueryEndSession() const;
    void EndSession();
    // Acts on "/start" and "/unload" in a program command line (FormCreate's last step).
    void CommandLineSwitches(const std::string& commandLine);

    // Settings.
    void ReadRegistry();
    void mnuFileSaveSettingsClick(fw::TComponent* sender);

    // Minimizing to the notification area and coming back.
    void AppOnMinimize(fw::TComponent* sender);
    void popTrayRestoreClick(fw::TComponent* sender);
    void popTrayMinimizeClick(fw::TComponent* sender);
    void TrayIcon1RightClick(fw::TComponent* sender, fw::TMouseButton button, fw::TShiftState shift,
                             int x, int y);

    // Help.
    void HelpContents(fw::TComponent* sender);
    void HelpSearch(fw::TComponent* sender);
    void mnuHelpRevisionHistoryClick(fw::TComponent* sender);
    void HelpAbout(fw::TComponent* sender);

    void SetupMenus();
    void FillTopPanel() override;
    void FillBottomPanel() override;
    // Files dropped from the shell.
    void WMDropFiles(HDROP drop);

    // The signature document: body (MemoEditor), current tagline (DBMemo), draft
    // (MemoDisplay), and the tagline of the last save (MemoMisc).
    TBrkApart* BreakIt = nullptr;
    TMRUFileList* MRUSigList = nullptr;
    // The file dialogs. OpenDialog is shared by the signature and table commands: each
    // sets what it needs and the rest (the last name, options another command set) carries
    // over, as the commands that borrow it rely on.
    fw::TFileDialog OpenDialog, SaveDialog1;
    // When the signature was last saved, for the frequency rules (LastSaveTime is its text).
    SYSTEMTIME LastSave{};
    // The clock the document and the cycling read; tests set their own.
    const TClock* Clock = nullptr;
    void btnDisplayClick(fw::TComponent* sender);
    void FileSave(fw::TComponent* sender);
    void FileSaveAs(fw::TComponent* sender);
    void FileOpen(fw::TComponent* sender);
    void OpenTheFile(const std::string& fileName);
    void LoadSig();
    void btnReloadClick(fw::TComponent* sender);
    void btnClearEditorClick(fw::TComponent* sender);
    void sbTagPosClick(fw::TComponent* sender);
    std::string ExpandVariables(const std::string& text);
    void MRUSigListMRUItemClick(fw::TComponent* sender, const std::string& fileName);

    // Tagline cycling.
    void StartTimer(unsigned firstDelay) override;
    void StopTimer() override;
    void btnTimerClick(fw::TComponent* sender);
    void TimerTimer(fw::TComponent* sender);
    void ChangeTag();
    void FindTag() override;
    void popTrayChangeTagNowClick(fw::TComponent* sender);
    void mnuSetupDemoClick(fw::TComponent* sender);
    void popTrayStatusClick(fw::TComponent* sender);
    // The shuffle's round, made at its first change, kept in "mv-round.smv" beside the
    // side files.
    std::optional<TCyclingRound> Round;

    // Database | "&Find Tagline..." (Ctrl+F) and "Find &Next" (F3), handed to Finder.
    std::optional<TTaglineFind> Finder;
    void mnuDBFindClick(fw::TComponent* sender);
    void mnuDBFindNextClick(fw::TComponent* sender);

    // The Database menu's table choices and the navigator, handed to Taglines.
    void mnuDBSelectClick(fw::TComponent* sender);
    void mnuDBCreateClick(fw::TComponent* sender);
    void MRUDBListMRUItemClick(const std::string& fileName);
    // The table maintenance commands, handed to Maintenance.
    void mnuDBSaveAsClick(fw::TComponent* sender);
    void mnuDBMergeClick(fw::TComponent* sender);
    void mnuDBDeleteClick(fw::TComponent* sender);
    void mnuDBImportClick(fw::TComponent* sender);
    // "Pack / Verify DB", handed to the table utility.
    void mnuDBPackClick(fw::TComponent* sender);
    void popTrayTagThiefClick(fw::TComponent* sender);
    void DBNavigatorClick(fw::TNavigateBtn button);

    // The spell-check control and the Spell menu's commands, handed to Spell.
    TVCSpeller* VSpell = nullptr;
    TSpellCommands* Spell = nullptr;
    void mnuSpellTagClick(fw::TComponent* sender);
    void mnuSpellDBClick(fw::TComponent* sender);
    void mnuSpellSigClick(fw::TComponent* sender);
    // What the spell-check commands ask of the window.
    std::string TaglineText() const override;
    void SetTaglineText(const std::string& text) override;
    std::string SignatureText() const override;
    void SetSignatureText(const std::string& text) override;
    void RepaintNavigator() override;
    std::string TrayToolTip() const override;
    void SetTrayToolTip(const std::string& text) override;

    // The Setup menu's options dialog.
    void mnuSetupConfigClick(fw::TComponent* sender);
    // What the options dialog asks of the window.
    TSettings EditedSettings() override;
    // The last save's time (LastSave, and its text LastSaveTime) becomes now.
    void CountIntervalFromNow() override;
    void RebuildDraft() override { btnDisplayClick(this); }
    void ApplyHints() override { SetShowHint(Hints); }
    void ApplyToolBar() override;
    void ApplyTray() override;
    void SaveSettings() override { mnuFileSaveSettingsClick(this); }

    // What the tagline table's commands ask of the window.
    fw::TTimer& CyclingTimer() override { return *Timer; }
    const std::string& CurrentTablePath() const override { return DBFile; }
    void SetDBFile(const std::string& fileName) override { DBFile = fileName; }
    const std::string& SignatureFile() const override { return SigFile; }
    fw::TFileDialog& SharedOpenDialog() override { return OpenDialog; }
    const std::string& ProgramFolder() const override { return ProgramDir; }
    // What the table utility's command asks of the window.
    fw::TTable& TaglineTable() override { return *Table1; }
    fw::TTable& SecondaryTable() override { return *Table2; }
    void ReopenTaglineTable() override;
    void ReloadSignature() override { btnReloadClick(btnReload); }

  protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    fw::TEventTable Events();
    void BindComponents();
    void CreateSignatureComponents();
    TSignatureDocument Document() const;
    // The commands a demonstration takes away from the user, and gives back.
    void SetDemoControls(bool enabled);
    // The finder, made at the first find.
    TTaglineFind& TaglineFinder();
    void CreateTableComponents();
    void CreateSpellComponents();
    // Starts SpawnPrg shown normally; true when it started. Explains a failure.
    bool StartSpawnProgram();

    bool activated_ = false;
};

// The switch text of a program command line: everything from its first "/" on, in lower
// case; empty when it holds no "/".
std::string SwitchText(const std::string& commandLine);
