// The main window built in-process from its real layout, on Wine's registry: start-up,
// settings, the close warning, the command line, dropped files, status texts and menus.
#include "WindowTest.h"
#include "desktop/RegFiles.h"
#include "desktop/TrayIcon.h"
#include "framework/Application.h"
#include "framework/DateFormat.h"
#include "framework/Paths.h"
#include "framework/Process.h"
#include "rotation/Main.h"
#include "tests/desktop/Picture.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <memory>
#include <vector>

namespace {

using fw::TMsgDlgButtons;
using fw::TMsgDlgType;

// A real shell drop handle holding the given file names.
HGLOBAL MakeDrop(const std::vector<std::string>& names) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const auto& n : names)
        size += n.size() + 1;
    HGLOBAL mem = GlobalAlloc(GHND, size);
    auto* df = static_cast<DROPFILES*>(GlobalLock(mem));
    df->pFiles = sizeof(DROPFILES);
    df->fWide = FALSE;
    char* p = reinterpret_cast<char*>(df) + sizeof(DROPFILES);
    for (const auto& n : names) {
        memcpy(p, n.c_str(), n.size() + 1);
        p += n.size() + 1;
    }
    *p = '\0';
    GlobalUnlock(mem);
    return mem;
}

class MainFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
        fw::Application().Initialize();
        fw::Application().SetTitle("Quiptide");
    }
    void TearDown() override {
        form.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
    }
    TMainForm& Create() {
        form = std::make_unique<TMainForm>(nullptr);
        return *form;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : dialogs.Shown())
            t.push_back(s.Text);
        return t;
    }

    fw::TScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, FirstStartOnAnEmptyRegistryUsesEveryDefault) {
    TMainForm& f = Create();
    EXPECT_TRUE(dialogs.Shown().empty()) << Texts()[0];
    EXPECT_EQ(f.Sequencer, "Random");
    EXPECT_EQ(f.Frequency, "Daily");
    EXPECT_EQ(f.SpawnPrg, "");
    EXPECT_FALSE(f.Spawn);
    EXPECT_TRUE(f.Warn);
    EXPECT_EQ(f.SigFile, "");
    EXPECT_EQ(f.DBFile, f.ProgramDir + "Quiptide.db");
    EXPECT_EQ(f.Date, fw::DateToStr());
    EXPECT_EQ(f.Interval, 5);
    EXPECT_TRUE(f.Hints);
    EXPECT_TRUE(f.ToolBar);
    EXPECT_TRUE(f.Tray);
    EXPECT_FALSE(f.TagPos);
    EXPECT_EQ(f.CustDate, "mmm dd, yy");
    EXPECT_EQ(f.CustTime, "tt");
    // Reading created the (empty) configuration key.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kConfig, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(ValueCount(), 0u);
}

TEST_F(MainFormTest, FirstStartPlacesTheWindowAQuarterOfTheScreenWidthFromTheTop) {
    TMainForm& f = Create();
    EXPECT_EQ(f.Top(), GetSystemMetrics(SM_CXSCREEN) / 4);
    EXPECT_EQ(f.Left(), GetSystemMetrics(SM_CYSCREEN) / 4);
    RECT r;
    GetWindowRect(f.Handle(), &r);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CXSCREEN) / 4);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CYSCREEN) / 4);
    EXPECT_EQ(r.bottom - r.top, 458);
    EXPECT_EQ(f.ClientWidth(), 456);
}

TEST_F(MainFormTest, FirstStartFillsTheWindowsTextsAndShowsTheIdleTrayIcon) {
    TMainForm& f = Create();
    EXPECT_EQ(f.StatusBarTop->ShownText(0), "Select a Signature File");
    EXPECT_EQ(f.StatusBarTop->ShownText(1), "Random");
    EXPECT_EQ(f.StatusBarBottom->ShownText(0), "DB File is: " + f.ProgramDir + "Quiptide.db");
    EXPECT_EQ(f.StatusBarBottom->ShownText(1), "Daily");
    EXPECT_EQ(f.btnTimer->Hint(), "Toggles the Timer. A Green\r\nCheck means timer is on");
    EXPECT_EQ(f.popTrayToggleTimer->Caption(), "Start &Timer");
    EXPECT_EQ(f.TrayIcon1->ToolTip(), "Quiptide is idle.");
    EXPECT_TRUE(f.TrayIcon1->Active());
    EXPECT_FALSE(f.MemoMisc->Visible());
    EXPECT_EQ(fw::Application().HelpFile(), f.ProgramDir + "Quiptide.hlp");
    EXPECT_EQ(f.SigSideFile, f.ProgramDir + "mv-sig.smv");
    EXPECT_EQ(f.TagSideFile, f.ProgramDir + "mv-tag.smv");
    EXPECT_TRUE(f.ShowHint());
    EXPECT_TRUE(f.SpeedBar->Visible());
    // Browsing: nothing to post or cancel.
    EXPECT_TRUE(f.DBNavigator->Button(fw::TNavigateBtn::nbEdit).Enabled());
    EXPECT_FALSE(f.DBNavigator->Button(fw::TNavigateBtn::nbPost).Enabled());
    EXPECT_FALSE(f.DBNavigator->Button(fw::TNavigateBtn::nbCancel).Enabled());
}

TEST_F(MainFormTest, StoredSettingsShapeTheWindow) {
    WriteDword("ToolBar", 0);
    WriteDword("Hints", 0);
    WriteDword("PosTop", 40);
    WriteDword("PosLeft", 60);
    WriteString("Frequency", "Variable");
    WriteString("SigFile", "C:\\mail\\signatur.pce");
    TMainForm& f = Create();
    EXPECT_FALSE(f.SpeedBar->Visible());
    EXPECT_FALSE(f.ShowHint());
    EXPECT_EQ(f.Height(), 427);
    EXPECT_EQ(f.Top(), 40);
    EXPECT_EQ(f.Left(), 60);
    EXPECT_EQ(f.StatusBarTop->ShownText(0), "Sig File is: C:\\mail\\signatur.pce");
    EXPECT_EQ(f.StatusBarBottom->ShownText(1), "Variable (5)");
}

TEST_F(MainFormTest, SaveSettingsWritesSeventeenValuesThatReadBackTheSame) {
    TMainForm& f = Create();
    f.Sequencer = "Sequential";
    f.Frequency = "Hourly";
    f.SpawnPrg = "C:\\Program Files\\Mail\\mail.exe";
    f.Spawn = true;
    f.Warn = false;
    f.SigFile = "C:\\mail\\sig.pms";
    f.DBFile = "C:\\tags\\mine.db";
    f.Date = "1/2/2026";
    f.Interval = 17;
    f.Hints = false;
    f.ToolBar = false;
    f.Tray = false;
    f.TagPos = true;
    f.CustDate = "dd/mm/yy";
    f.CustTime = "hh:nn:ss am/pm";
    f.SetBounds(33, 44, f.Width(), f.Height());
    f.mnuFileSaveSettingsClick(&f);

    EXPECT_EQ(ValueCount(), 17u);
    Raw spawn = ReadRaw("Spawn");
    ASSERT_EQ(spawn.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(spawn.data, (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
    Raw warn = ReadRaw("Warn");
    ASSERT_EQ(warn.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(warn.data, (std::vector<BYTE>{0, 0, 0, 0}));
    EXPECT_EQ(ReadRaw("Interval").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadRaw("Sequencer").type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ReadRaw("PosTop").data, (std::vector<BYTE>{44, 0, 0, 0}));
    EXPECT_EQ(ReadRaw("PosLeft").data, (std::vector<BYTE>{33, 0, 0, 0}));

    form.reset();
    dialogs.Clear();
    dialogs.Answer(fw::mrYes);
    TMainForm& g = Create();
    EXPECT_EQ(g.Sequencer, "Sequential");
    EXPECT_EQ(g.Frequency, "Hourly");
    EXPECT_EQ(g.SpawnPrg, "C:\\Program Files\\Mail\\mail.exe");
    EXPECT_TRUE(g.Spawn);
    EXPECT_FALSE(g.Warn);
    EXPECT_EQ(g.SigFile, "C:\\mail\\sig.pms");
    EXPECT_EQ(g.DBFile, "C:\\tags\\mine.db");
    EXPECT_EQ(g.Date, "1/2/2026");
    EXPECT_EQ(g.Interval, 17);
    EXPECT_FALSE(g.Hints);
    EXPECT_FALSE(g.ToolBar);
    EXPECT_FALSE(g.Tray);
    EXPECT_TRUE(g.TagPos);
    EXPECT_EQ(g.CustDate, "dd/mm/yy");
    EXPECT_EQ(g.CustTime, "hh:nn:ss am/pm");
    EXPECT_EQ(g.Top(), 44);
    EXPECT_EQ(g.Left(), 33);
}

TEST_F(MainFormTest, EmptyStringsAreStoredAndNotReplacedByDefaults) {
    TMainForm& f = Create();
    f.Sequencer = "";
    f.mnuFileSaveSettingsClick(&f);
    Raw seq = ReadRaw("Sequencer");
    EXPECT_EQ(seq.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(seq.data, (std::vector<BYTE>{0}));
    form.reset();
    EXPECT_EQ(Create().Sequencer, "");
}

TEST_F(MainFormTest, ADemonstrationsFrequencyIsNotStored) {
    TMainForm& f = Create();
    f.PrevFrequency = "Hourly";
    f.Frequency = "Demo";
    f.mnuFileSaveSettingsClick(&f);
    Raw freq = ReadRaw("Frequency");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(freq.data.data())), "Hourly");
}

TEST_F(MainFormTest, CloseWarningNoWritesWarnFalseAtOnceAndCloses) {
    TMainForm& f = Create();
    dialogs.Answer(fw::mrNo);
    bool canClose = true;
    f.FormCloseQuery(&f, canClose);
    EXPECT_TRUE(canClose);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text,
              "Quiptide will not change taglines if closed!\r\nShow this warning again?");
    EXPECT_EQ(dialogs.Last().Kind, TMsgDlgType::mtInformation);
    EXPECT_EQ(dialogs.Last().Buttons, TMsgDlgButtons::mbYesNoCancel);
    EXPECT_EQ(ReadRaw("Warn").data, (std::vector<BYTE>{0, 0, 0, 0})); // before any save
    EXPECT_EQ(ValueCount(), 1u);
    EXPECT_FALSE(f.Warn);

    // The next start does not warn.
    form.reset();
    dialogs.Clear();
    TMainForm& g = Create();
    EXPECT_TRUE(g.Close());
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_TRUE(fw::Application().Terminated());
}

TEST_F(MainFormTest, CloseWarningCancelKeepsTheProgramOpen) {
    TMainForm& f = Create();
    f.Spawn = true;
    f.SpawnPrg = "C:\\nowhere\\mail.exe";
    dialogs.Answer(fw::mrCancel);
    EXPECT_FALSE(f.Close());
    EXPECT_FALSE(fw::Application().Terminated());
    EXPECT_EQ(dialogs.Shown().size(), 1u); // no spawn step after Cancel
    EXPECT_EQ(ValueCount(), 0u);           // nothing saved
    EXPECT_TRUE(f.Warn);
}

TEST_F(MainFormTest, CloseWarningYesClosesSavesAllAndKeepsWarning) {
    TMainForm& f = Create();
    dialogs.Answer(fw::mrYes);
    SendMessageA(f.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(fw::Application().Terminated());
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    EXPECT_EQ(ValueCount(), 17u);
    EXPECT_EQ(ReadRaw("Warn").data, (std::vector<BYTE>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(MainFormTest, SpawnOfAMissingProgramEmptiesSpawnPrgWhichIsSavedAtClose) {
    TMainForm& f = Create();
    f.Warn = false;
    f.Spawn = true;
    f.SpawnPrg = "C:\\nowhere\\mail.exe";
    EXPECT_TRUE(f.Close());
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text, "Program not found!");
    EXPECT_EQ(dialogs.Last().Kind, TMsgDlgType::mtWarning);
    EXPECT_EQ(f.SpawnPrg, "");
    EXPECT_EQ(ReadRaw("SpawnPrg").data, (std::vector<BYTE>{0}));
}

TEST_F(MainFormTest, SpawnStartsAProgramWhosePathHoldsBlanks) {
    std::string probe = fw::ExtractFilePath(fw::ProgramFileName()) + "spawn_probe.exe";
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string dir = std::string(temp) + "Eudora Light";
    CreateDirectoryA(dir.c_str(), nullptr);
    std::string target = dir + "\\Eudora Mail.exe";
    std::string marker = target + ".ran";
    DeleteFileA(marker.c_str());
    ASSERT_TRUE(CopyFileA(probe.c_str(), target.c_str(), FALSE));

    TMainForm& f = Create();
    f.Warn = false;
    f.Spawn = true;
    f.SpawnPrg = target;
    EXPECT_TRUE(f.Close());
    EXPECT_TRUE(dialogs.Shown().empty());
    for (int i = 0; i < 200 && !fw::FileExists(marker); ++i)
        Sleep(50);
    EXPECT_TRUE(fw::FileExists(marker));
    EXPECT_EQ(f.SpawnPrg, target);
    DeleteFileA(marker.c_str());
    DeleteFileA(target.c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST(SwitchText, TakesEverythingFromTheFirstSlashInLowerCase) {
    EXPECT_EQ(SwitchText("\"C:\\Quiptide\\Quiptide.exe\" /UNLOAD"), "/unload");
    EXPECT_EQ(SwitchText("Quiptide.exe /Start"), "/start");
    EXPECT_EQ(SwitchText("Quiptide.exe /unload "), "/unload ");
    EXPECT_EQ(SwitchText("\"C:/Apps/Quiptide.exe\" /unload"), "/apps/quiptide.exe\" /unload");
    EXPECT_EQ(SwitchText("Quiptide.exe"), "");
}

TEST_F(MainFormTest, UnloadSwitchActsOnlyWhenFrequencyIsOnLoadAndMatchesWhole) {
    TMainForm& f = Create();
    f.Frequency = "Daily";
    f.CommandLineSwitches("Quiptide.exe /unload");
    EXPECT_FALSE(fw::Application().Terminated());
    f.Frequency = "OnLoad";
    f.CommandLineSwitches("Quiptide.exe /unload ");
    EXPECT_FALSE(fw::Application().Terminated());
    f.CommandLineSwitches("\"C:/Apps/Quiptide.exe\" /unload");
    EXPECT_FALSE(fw::Application().Terminated());
    f.CommandLineSwitches("Quiptide.exe /UNLOAD");
    EXPECT_TRUE(fw::Application().Terminated());
    // The tagline was changed and saved (refused here, with no signature file), and
    // neither the close warning nor the settings save came.
    EXPECT_EQ(Texts(),
              std::vector<std::string>{"Sorry. You must use the \"File|SaveAs\" menu item"});
    EXPECT_EQ(ValueCount(), 0u);
}

TEST_F(MainFormTest, StartSwitchWithAMissingProgramWarnsAndKeepsRunning) {
    TMainForm& f = Create();
    f.Frequency = "OnLoad";
    f.SpawnPrg = "C:\\nowhere\\mail.exe";
    f.CommandLineSwitches("Quiptide.exe /start");
    EXPECT_FALSE(fw::Application().Terminated());
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text, "Program not found!");
    EXPECT_EQ(f.SpawnPrg, "");
}

class DropTest : public MainFormTest {
  protected:
    void Drop(const std::vector<std::string>& names) {
        SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names)), 0);
    }
};

TEST_F(DropTest, TwoFilesGiveTheOneFileMessage) {
    Create();
    Drop({"C:\\a.pce", "C:\\b.txt"});
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text, "Sorry, I can only process one file at a time.\r\nPlease try "
                                   "again!");
    EXPECT_EQ(dialogs.Last().Kind, TMsgDlgType::mtCustom);
    EXPECT_EQ(dialogs.Last().Buttons, TMsgDlgButtons::mbOK);
}

TEST_F(DropTest, AnUnknownTypeAbortsWithTheExtensionAndTheFullName) {
    Create();
    Drop({"C:\\Docs\\Letter.DOC"});
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text,
              "Drag & Drop aborted\r\nUnrecognized file type: .doc\r\nC:\\Docs\\Letter.DOC");
    EXPECT_EQ(dialogs.Last().Kind, TMsgDlgType::mtError);
}

TEST_F(DropTest, ANameLongerThan255CharactersIsReadWhole) {
    Create();
    std::string name = "C:\\" + std::string(300, 'x') + ".doc";
    Drop({name});
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text,
              "Drag & Drop aborted\r\nUnrecognized file type: .doc\r\n" + name);
}

TEST_F(DropTest, SignatureAndTableTypesInAnyCaseAreAccepted) {
    Create();
    for (const char* n : {"C:\\SIG.PCE", "C:\\a.txt", "C:\\b.Pms", "C:\\c.alt"})
        Drop({n});
    Drop({"C:\\dir.db\\noext"});
    // The signature types go on to the selection dialog (these files do not exist, which
    // it reports); only the name without an extension is refused as a type.
    std::vector<std::string> refused;
    for (const std::string& text : Texts())
        if (text.rfind("Drag & Drop aborted", 0) == 0)
            refused.push_back(text);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0], "Drag & Drop aborted\r\nUnrecognized file type: \r\n"
                          "C:\\dir.db\\noext");
}

TEST_F(MainFormTest, MenusToolbarAndPopupsCarryTheirCaptionsHintsAndContexts) {
    TMainForm& f = Create();
    const char* captions[] = {"&Select Signature",
                              "Sa&ve Signature",
                              "Save Signature &As...",
                              "&Change Tag Now!",
                              "Save S&ettings",
                              "E&xit",
                              "Tagline",
                              "Entire DB",
                              "Signature",
                              "&Select DB",
                              "&Create DB",
                              "Save DB &As",
                              "Merge DBs",
                              "Delete DB",
                              "Import Text File",
                              "Pack / Verify DB",
                              "&Config",
                              "&Demo",
                              "&Contents",
                              "&Search for Help On...",
                              "Re&vision History",
                              "&About..."};
    for (const char* c : captions)
        EXPECT_NE(f.MainMenu->FindItem(c), nullptr) << c;
    EXPECT_EQ(f.MainMenu->Items().size(), 5u);
    EXPECT_EQ(f.MainMenu->FindItem("&Select DB")->HelpContext(), 121);
    EXPECT_EQ(f.MainMenu->FindItem("&Create DB")->HelpContext(), 122);
    EXPECT_EQ(f.MainMenu->FindItem("Save S&ettings")->Hint(), "Save the Sarnex settings");
    EXPECT_EQ(f.MainMenu->FindItem("&About...")->Hint(), "Show program information");
    EXPECT_EQ(f.MainMenu->FindItem("&Select Signature")->Hint(), "Open an existing signature");

    std::vector<std::string> tray;
    for (fw::TMenuItem* i : f.popTray->Items())
        tray.push_back(i->Caption());
    EXPECT_EQ(tray,
              (std::vector<std::string>{"Restore", "Minimize", "-", "Start &Timer", "Status", "-",
                                        "Change Tag Now!", "Tagline Thief!", "-", "Exit"}));
    EXPECT_TRUE(f.popTray->FindItem("Change Tag Now!")->Default());
    EXPECT_FALSE(f.popTray->AutoPopup());
    std::vector<std::string> context;
    for (fw::TMenuItem* i : f.popMain->Items())
        context.push_back(i->Caption());
    EXPECT_EQ(context,
              (std::vector<std::string>{"Reload", "Display Draft", "Save Sig", "Clear Editor", "-",
                                        "Spell Check Signature", "Spell Check Tagline"}));
    EXPECT_EQ(f.PopupMenu(), f.popMain);

    EXPECT_EQ(f.sbTagPos->Hint(), "Toggles tagline on top/bottom");
    EXPECT_EQ(f.SpeedButton6->Hint(), "Exit");
    EXPECT_EQ(f.DBNavigator->Button(fw::TNavigateBtn::nbDelete).Hint(), "Delete selected tagline");
    EXPECT_EQ(f.DBNavigator->Button(fw::TNavigateBtn::nbRefresh).Hint(),
              "Refresh tagline database");
    EXPECT_EQ(f.MemoEditor->HelpContext(), 207);
    EXPECT_EQ(f.StatusBarBottom->HelpContext(), 505);
    EXPECT_EQ(f.GroupBox1->Caption(), "Signature and Tagline to be Used");
    EXPECT_EQ(f.GroupBox1->CaptionColor(), RGB(0, 0, 128));
    EXPECT_EQ(f.GroupBox2->CaptionColor(), RGB(128, 0, 0));
    EXPECT_EQ(f.GroupBox3->CaptionColor(), RGB(0, 128, 0));
    EXPECT_EQ(f.btnTimer->Caption(), "Start &Timer");
    EXPECT_EQ(f.btnTimer->Glyph(), "BBNO");

    // Each toolbar glyph is drawn whole and centred, its lower-left pixel's colour left out
    // to show the button's face.
    f.Show();
    for (fw::TSpeedButton* b : {f.sbOpen, f.sbSave, f.sbTagPos, f.SpeedButton6}) {
        auto* glyph = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), b->Glyph().c_str(),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(glyph, nullptr) << b->Glyph();
        BITMAP bm{};
        GetObjectA(glyph, sizeof bm, &bm);
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, glyph);
        const TPicture shown(*b);
        const int left = (b->Width() - bm.bmWidth) / 2, top = b->Height() / 2 - bm.bmHeight / 2;
        const COLORREF background = GetPixel(dc, 0, bm.bmHeight - 1);
        int wrong = 0;
        for (int y = 0; y < bm.bmHeight; ++y)
            for (int x = 0; x < bm.bmWidth; ++x) {
                const COLORREF p = GetPixel(dc, x, y);
                wrong += shown.At(left + x, top + y) !=
                         (p == background ? GetSysColor(COLOR_BTNFACE) : p);
            }
        EXPECT_EQ(wrong, 0) << b->Glyph();
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(glyph);
    }
}

TEST_F(MainFormTest, TheInstallersCloseRequestSavesAndEndsWithoutAskingUnlessBusy) {
    TMainForm& f = Create();
    f.Spawn = true;
    f.SpawnPrg = "C:\\nowhere\\mail.exe";
    // Busy in a window of its own: declined. A session end called off: nothing happens.
    EnableWindow(f.Handle(), FALSE);
    EXPECT_EQ(SendMessageA(f.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), FALSE);
    EnableWindow(f.Handle(), TRUE);
    SendMessageA(f.Handle(), WM_ENDSESSION, FALSE, ENDSESSION_CLOSEAPP);
    EXPECT_FALSE(fw::Application().Terminated());
    EXPECT_EQ(ValueCount(), 0u);

    EXPECT_EQ(SendMessageA(f.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
    SendMessageA(f.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_CLOSEAPP);
    EXPECT_TRUE(fw::Application().Terminated());
    EXPECT_TRUE(dialogs.Shown().empty()); // neither the close warning nor the mail program
    EXPECT_EQ(ValueCount(), 17u);
}

TEST_F(MainFormTest, ExitFromTheMenuRunsTheClosePath) {
    TMainForm& f = Create();
    dialogs.Answer(fw::mrCancel);
    UINT exit = f.MainMenu->FindItem("E&xit")->Command();
    SendMessageA(f.Handle(), WM_COMMAND, MAKEWPARAM(exit, 0), 0);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_FALSE(fw::Application().Terminated());
}

TEST_F(MainFormTest, MinimizingWithTrayHidesTheWindowAndATrayClickBringsItBack) {
    TMainForm& f = Create();
    f.Show();
    fw::Application().Minimize();
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    // The tray icon's left click, as the shell sends it.
    SendMessageA(f.TrayIcon1->Handle(), TTrayIcon::WM_TRAYCALLBACK, 0, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_FALSE(IsIconic(f.Handle()));
}

TEST_F(MainFormTest, MinimizingWithoutTrayKeepsTheTaskbarButton) {
    TMainForm& f = Create();
    f.Tray = false;
    f.Show();
    fw::Application().Minimize();
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
    EXPECT_TRUE(IsIconic(f.Handle()));
}

TEST_F(MainFormTest, DuringADemonstrationTrayClicksDoNothing) {
    TMainForm& f = Create();
    f.Show();
    fw::Application().Minimize();
    f.Frequency = "Demo";
    SendMessageA(f.TrayIcon1->Handle(), TTrayIcon::WM_TRAYCALLBACK, 0, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(f.Handle()));
    // A right click would open the tray menu (modal); during a demonstration it returns.
    f.TrayIcon1RightClick(f.TrayIcon1, fw::TMouseButton::mbRight, {}, 10, 10);
}

TEST_F(MainFormTest, StartedMinimizedTheWindowMinimizesAtItsFirstActivationOnly) {
    fw::Application().SetShowCmd(SW_SHOWMINNOACTIVE);
    TMainForm& f = Create();
    fw::Application().SetShowCmd(SW_SHOWDEFAULT);
    EXPECT_EQ(f.StartShowCmd, SW_SHOWMINNOACTIVE);
    f.Show();
    f.FormActivate(&f);
    EXPECT_FALSE(IsWindowVisible(f.Handle())); // minimized with Tray: hidden
    f.popTrayRestoreClick(&f);
    f.FormActivate(&f);
    EXPECT_TRUE(IsWindowVisible(f.Handle()));
}

struct TChildSearch {
    const std::string& text;
    HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM data) {
    auto& s = *reinterpret_cast<TChildSearch*>(data);
    char caption[128] = {};
    GetWindowTextA(child, caption, sizeof caption);
    if (s.text == caption)
        s.found = child;
    return s.found ? FALSE : TRUE;
}

// The first window below parent whose text is that, or null.
HWND ChildWithText(HWND parent, const std::string& text) {
    TChildSearch search{text};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Works the options dialog once it is up: first turns the toolbar and the tray icon off,
// then closes it.
int setupStep;

void CALLBACK WorkTheOptionsDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowA(nullptr, "Program Options");
    if (!dialog || !IsWindowVisible(dialog))
        return;
    if (setupStep == 0) {
        // The check boxes are on the second tab; a click on a hidden box still notifies,
        // as it does for a click through the keyboard.
        for (const char* caption : {"Show Toolbar?", "Use Taskbar Tray?"})
            if (HWND box = ChildWithText(dialog, caption))
                SendMessageA(box, BM_CLICK, 0, 0);
        setupStep = 1;
    } else {
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

// The options dialog opened from its menu item acts on this window at once: here the
// toolbar and the tray icon are turned off, and closing the dialog saves the settings.
TEST_F(MainFormTest, TheOptionsDialogChangesTheWindowAtOnceAndSavesOnClosing) {
    TMainForm& f = Create();
    f.Show();
    ASSERT_TRUE(f.TrayIcon1->Active());
    setupStep = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 100, WorkTheOptionsDialog);
    FindComponentClick(f, "mnuSetupConfig");
    KillTimer(nullptr, timer);
    EXPECT_FALSE(f.ToolBar);
    EXPECT_EQ(f.Height(), 427);
    EXPECT_FALSE(f.SpeedBar->Visible());
    EXPECT_FALSE(f.Tray);
    EXPECT_FALSE(f.TrayIcon1->Active());
    EXPECT_EQ(ReadRaw("ToolBar").data, std::vector<BYTE>(4, 0)) << "saved when the dialog closed";
    EXPECT_EQ(ValueCount(), 17u);
}

} // namespace
