// Start-up of the main window (FormCreate), its first activation and the command line.
#include "rotation/Main.h"

#include "desktop/RegFiles.h"
#include "desktop/SplashForm.h"
#include "desktop/TrayIcon.h"
#include "framework/Application.h"
#include "framework/DateFormat.h"
#include "framework/Dialogs.h"
#include "framework/Paths.h"
#include "framework/Process.h"
#include "framework/Strings.h"
#include "platform/help/HelpViewer.h"
#include "rotation/Clock.h"
#include "rotation/SettingsReader.h"
#include "taglinedb/TaglineDatabase.h"

#include <shellapi.h>

void TMainForm::FormCreate(fw::TComponent*) {
    fw::TApplication& app = fw::Application();

    StartShowCmd = static_cast<short>(app.ShowCmd());
    if (StartShowCmd == SW_SHOWDEFAULT) {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        GetStartupInfoA(&si);
        StartShowCmd = (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWNORMAL;
    }
    if (StartShowCmd == SW_SHOWMAXIMIZED)
        SetWindowState(fw::TWindowState::wsMaximized);

    app.OnMinimize = [this](fw::TComponent* s) { AppOnMinimize(s); };
    ProgramDir = fw::ExtractFilePath(fw::ProgramFileName());
    DragAcceptFiles(Handle(), TRUE);
    app.SetHelpFile(ProgramDir + "Quiptide.hlp");
    app.OnHelp = help::ShowHelp;
    SigSideFile = ProgramDir + "mv-sig.smv";
    TagSideFile = ProgramDir + "mv-tag.smv";
    CountIntervalFromNow();
    DBMemo->Clear();
    MemoEditor->Clear();
    MemoDisplay->Clear();
    btnTimer->SetHint("Toggles the Timer. A Green\r\nCheck means timer is on");

    // The top defaults to a quarter of the screen's width and the left to a quarter of
    // its height, as the program always placed its window.
    TSettingsReader read(*Reg);
    const int top = read.Integer("PosTop", GetSystemMetrics(SM_CXSCREEN) / 4);
    const int left = read.Integer("PosLeft", GetSystemMetrics(SM_CYSCREEN) / 4);
    read.Report();
    SetBounds(left, top, Width(), Height());
    ReadRegistry();
    if (!ToolBar)
        SetHeight(427);
    MemoMisc->Hide();
    popTrayToggleTimer->SetCaption(btnTimer->Caption());
    // A table that cannot be opened ends the start-up here: cycling without a table
    // would save signatures without a tagline. The window still comes up.
    Taglines->OpenDatabase(Table1, DBFile);
    SetupMenus();
    if (!SigFile.empty()) {
        LoadSig();
        FindTag();
        if (Frequency != "Daily")
            FileSave(this);
        if (Frequency == "OnLoad") {
            ChangeTag();
            FileSave(this);
            StopTimer();
        } else {
            StartTimer(500);
        }
    } else {
        StopTimer();
        LoadSig();
    }
    FillTopPanel();
    FillBottomPanel();
    TrayIcon1->SetToolTip(Timer->Enabled() ? "Quiptide is cycling Taglines!" : "Quiptide is idle.");
    TrayIcon1->SetActive(true);
    if (Frequency != "Daily" && !SigFile.empty() && fw::FileExists(SigFile))
        FileSave(this);
    CommandLineSwitches(fw::CommandLine());
}

std::string SwitchText(const std::string& commandLine) {
    size_t slash = commandLine.find('/');
    return slash == std::string::npos ? std::string() : fw::LowerCase(commandLine.substr(slash));
}

void TMainForm::CommandLineSwitches(const std::string& commandLine) {
    if (Frequency != "OnLoad")
        return;
    std::string text = SwitchText(commandLine);
    if (text == "/unload" || (text == "/start" && StartSpawnProgram())) {
        ChangeTag();
        FileSave(this);
        fw::Application().Terminate();
    }
}

void TMainForm::FormActivate(fw::TComponent*) {
    if (activated_)
        return;
    activated_ = true;
    FreeSplashScreen();
    if (StartShowCmd == SW_SHOWMINIMIZED || StartShowCmd == SW_MINIMIZE ||
        StartShowCmd == SW_SHOWMINNOACTIVE)
        fw::Application().Minimize();
}
