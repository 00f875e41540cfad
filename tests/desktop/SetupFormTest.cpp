// TFormSetup on real windows with a recording host: what opening shows and leaves alone,
// each control's effect through the notices the real controls send (BM_CLICK, a double
// click, a click on a tab), the interval box and its refusals, the spawn-program picker,
// the tabs and their keys, and the save on every way of closing.
#include "desktop/SetupForm.h"
#include "framework/Application.h"
#include "framework/Process.h"
#include "tests/desktop/RecordingSetupHost.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <array>
#include <memory>
#include <tuple>

namespace {

using Calls = std::vector<std::string>;

class SetupFormTest : public ::testing::Test {
  protected:
    void SetUp() override { fw::Application().Initialize(); }
    TFormSetup& Open() {
        form.reset();
        host.Calls.clear();
        dialogs.Clear();
        form = std::make_unique<TFormSetup>(&owner, host);
        return *form;
    }
    auto Settings() const {
        return std::tuple(host.Sequencer, host.Frequency, host.SpawnPrg, host.CustDate,
                          host.CustTime, host.Interval, host.TagPos, host.Warn, host.Hints,
                          host.ToolBar, host.Tray, host.Spawn);
    }
    static void Click(HWND button) { SendMessageA(button, BM_CLICK, 0, 0); }
    static bool Shown(HWND button) {
        return SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    void ClickFrequency(int item) { Click(form->rgFrequency->ButtonHandle(item)); }
    // Answers the interval box, then chooses "Variable".
    void ChooseVariable(int answer, const std::string& text) {
        dialogs.Answer(answer, text);
        ClickFrequency(2);
    }

    fw::TForm owner{nullptr}; // the window behind the dialog
    TRecordingSetupHost host;
    fw::TScriptedDialogs dialogs;
    std::unique_ptr<TFormSetup> form;
};

TEST_F(SetupFormTest, OpeningShowsEverySettingAndChangesNone) {
    host.Sequencer = "Sequential";
    host.Frequency = "Variable";
    host.Interval = 17;
    host.TagPos = true;
    host.Warn = false;
    host.Hints = false;
    host.Tray = false;
    host.Spawn = true;
    host.SpawnPrg = fw::ProgramFileName();
    host.CustDate = "mmmm d, yy";
    host.CustTime = "t";
    const auto before = Settings();
    Open();
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(host.Calls, Calls{});
    EXPECT_TRUE(dialogs.Shown().empty());

    EXPECT_EQ(form->EditVar->Text(), "17");
    EXPECT_EQ(form->EditSpawn->Text(), "setup_form_tests.exe");
    EXPECT_EQ(form->rgSequencer->ItemIndex(), 0);
    EXPECT_EQ(form->rgFrequency->ItemIndex(), 2);
    EXPECT_TRUE(Shown(form->rgFrequency->ButtonHandle(2)));
    EXPECT_FALSE(Shown(form->rgFrequency->ButtonHandle(0)));
    EXPECT_EQ(form->rgCustDate->ItemIndex(), 7);
    EXPECT_EQ(form->rgCustTime->ItemIndex(), 2);
    EXPECT_TRUE(Shown(form->cbTagTop->Handle()));
    EXPECT_FALSE(Shown(form->cbWarnOnClose->Handle()));
    EXPECT_FALSE(Shown(form->cbShowHints->Handle()));
    EXPECT_TRUE(Shown(form->cbToolBar->Handle()));
    EXPECT_FALSE(Shown(form->cbTaskBar->Handle()));
    EXPECT_TRUE(Shown(form->cbSpawn->Handle()));
}

TEST_F(SetupFormTest, ValuesOutsideTheItemsSelectNothingAndCaseCounts) {
    host.Sequencer = "sequential"; // anything but "Sequential" is random
    host.Frequency = "Demo";
    host.CustDate = "MMM DD, YY";
    host.CustTime = "TT";
    Open();
    EXPECT_EQ(form->rgSequencer->ItemIndex(), 1);
    EXPECT_EQ(form->rgFrequency->ItemIndex(), -1);
    EXPECT_EQ(form->rgCustDate->ItemIndex(), -1);
    EXPECT_EQ(form->rgCustTime->ItemIndex(), -1);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(Shown(form->rgFrequency->ButtonHandle(i)));
    EXPECT_EQ(host.Frequency, "Demo");
    EXPECT_EQ(host.Calls, Calls{});
}

TEST_F(SetupFormTest, SpawnProgramShownByNameOrAsMissingOrUnselected) {
    Open();
    EXPECT_EQ(form->EditSpawn->Text(), "No Program Selected");

    host.SpawnPrg = "C:\\nowhere\\mail.exe";
    Open();
    EXPECT_EQ(form->EditSpawn->Text(), "Program is missing!");
    EXPECT_EQ(host.SpawnPrg, "");
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(SetupFormTest, HourlyDailyAndOnLoadTakeEffectAtOnce) {
    host.Frequency = "Demo";
    Open();
    ClickFrequency(0);
    EXPECT_EQ(host.Frequency, "Hourly");
    EXPECT_EQ(host.Calls, (Calls{"StartTimer(250)", "FillBottomPanel"}));
    host.Calls.clear();
    ClickFrequency(1);
    EXPECT_EQ(host.Frequency, "Daily");
    EXPECT_EQ(host.Calls, (Calls{"StartTimer(250)", "FillBottomPanel"}));
    host.Calls.clear();
    ClickFrequency(3);
    EXPECT_EQ(host.Frequency, "OnLoad");
    EXPECT_EQ(host.Calls, (Calls{"StopTimer", "FillBottomPanel"}));
    host.Calls.clear();
    ClickFrequency(3); // the item chosen already: no notice
    EXPECT_EQ(host.Calls, Calls{});
}

TEST_F(SetupFormTest, VariableIntervalOutsideOneTo59IsRefused) {
    host.Interval = 17;
    for (const char* answer : {"0", "60", "75"}) {
        Open();
        ChooseVariable(fw::mrOk, answer);
        ASSERT_EQ(dialogs.Shown().size(), 2u) << answer;
        EXPECT_EQ(dialogs.Shown()[0].Caption, "Select Interval");
        EXPECT_EQ(dialogs.Shown()[0].Text, "Enter the frequency (in minutes)");
        EXPECT_EQ(dialogs.Last().Text, "Interval must be 1 or greater\r\nand less than 60");
        EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtError);
        EXPECT_EQ(dialogs.Last().Buttons, fw::TMsgDlgButtons::mbOK);
        EXPECT_EQ(host.Interval, 17);
        EXPECT_EQ(host.Frequency, "Daily");
        EXPECT_EQ(form->EditVar->Text(), "17");
        EXPECT_EQ(host.Calls, Calls{"FillBottomPanel"});
        EXPECT_EQ(form->rgFrequency->ItemIndex(), 2); // the group is not moved back
    }
}

TEST_F(SetupFormTest, VariableIntervalFromOneTo59IsTakenAndCountsFromNow) {
    for (const char* answer : {"59", "1"}) {
        host.Frequency = "Daily"; // "Variable" chosen already would raise no notice
        Open();
        ChooseVariable(fw::mrOk, answer);
        EXPECT_EQ(host.Interval, std::stoi(answer));
        EXPECT_EQ(host.Frequency, "Variable");
        EXPECT_EQ(form->EditVar->Text(), answer);
        EXPECT_EQ(host.Calls,
                  (Calls{"StartTimer(250)", "CountIntervalFromNow", "FillBottomPanel"}));
        EXPECT_EQ(dialogs.Shown().size(), 1u);
    }
    // Cancel gives back the interval the box was filled with, taken like an answer.
    host.Interval = 12;
    host.Frequency = "Daily";
    Open();
    ChooseVariable(fw::mrCancel, "30");
    EXPECT_EQ(host.Interval, 12);
    EXPECT_EQ(host.Frequency, "Variable");
    EXPECT_EQ(host.Calls, (Calls{"StartTimer(250)", "CountIntervalFromNow", "FillBottomPanel"}));
}

TEST_F(SetupFormTest, IntervalThatIsNoNumberShowsTheConversionErrorAndChangesNothing) {
    host.Interval = 17;
    Open();
    const auto before = Settings();
    ChooseVariable(fw::mrOk, "ten");
    ASSERT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(dialogs.Last().Text, "'ten' is not a valid integer value");
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtError);
    EXPECT_EQ(Settings(), before);
    EXPECT_EQ(host.Calls, Calls{});
}

TEST_F(SetupFormTest, EachBoxFlipsItsSettingAndShowsItOnTheWindow) {
    Open();
    struct Box {
        fw::TCheckBox* box;
        bool& setting;
        Calls calls;
    };
    const Box boxes[] = {{form->cbTagTop, host.TagPos, {"RebuildDraft"}},
                         {form->cbWarnOnClose, host.Warn, {}},
                         {form->cbShowHints, host.Hints, {"ApplyHints"}},
                         {form->cbToolBar, host.ToolBar, {"ApplyToolBar"}},
                         {form->cbTaskBar, host.Tray, {"ApplyTray"}},
                         {form->cbSpawn, host.Spawn, {}}};
    for (const Box& b : boxes)
        for (int round = 0; round < 2; ++round) {
            const bool was = b.setting;
            host.Calls.clear();
            Click(b.box->Handle());
            EXPECT_EQ(b.setting, !was) << b.box->Name();
            EXPECT_EQ(Shown(b.box->Handle()), !was) << b.box->Name();
            EXPECT_EQ(host.Calls, b.calls) << b.box->Name();
        }
}

TEST_F(SetupFormTest, SequencerAndFormatsStoreTheChosenItem) {
    Open();
    Click(form->rgSequencer->ButtonHandle(0));
    EXPECT_EQ(host.Sequencer, "Sequential");
    Click(form->rgSequencer->ButtonHandle(1));
    EXPECT_EQ(host.Sequencer, "Random");
    Click(form->rgSequencer->ButtonHandle(2));
    EXPECT_EQ(host.Sequencer, "Shuffle");
    EXPECT_EQ(host.Calls, (Calls{"FillTopPanel", "FillTopPanel", "FillTopPanel"}));
    Open();
    EXPECT_EQ(form->rgSequencer->ItemIndex(), 2) << "a dialog opened on Shuffle shows it";

    host.Calls.clear();
    for (int i = 0; i < 10; ++i) {
        Click(form->rgCustDate->ButtonHandle(i));
        EXPECT_EQ(host.CustDate, form->rgCustDate->Items()[i]);
    }
    EXPECT_EQ(host.CustDate, "mm/dd/yy");
    const char* const stored[] = {"hh:nn:ss am/pm", "h:n:s am/pm", "t", "tt"};
    for (int i : {0, 1, 2, 3}) {
        Click(form->rgCustTime->ButtonHandle(i));
        EXPECT_EQ(host.CustTime, stored[i]);
    }
    EXPECT_EQ(form->rgCustTime->Items()[3], "Default Long Format");
    EXPECT_EQ(host.Calls, Calls{}); // the formats apply at the next composition
}

TEST_F(SetupFormTest, DoubleClickPicksTheSpawnProgramThroughTheSharedDialog) {
    host.OpenDialog.Options = OFN_FILEMUSTEXIST;
    host.OpenDialog.FileName = "C:\\tables\\taglines.db";
    Open();
    const auto dblClick = [this] {
        SendMessageA(form->EditSpawn->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
        SendMessageA(form->EditSpawn->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    };
    dialogs.Answer(fw::mrCancel);
    dblClick();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().What, fw::TScriptedDialogs::TShownKind::Open);
    EXPECT_EQ(host.OpenDialog.Title, "Select the Program to Spawn:");
    EXPECT_EQ(host.OpenDialog.Filter, "Programs (*.com, *.exe)|*.com;*.exe");
    EXPECT_EQ(host.OpenDialog.InitialDir, "C:\\Quiptide\\");
    EXPECT_EQ(host.SpawnPrg, "");
    EXPECT_EQ(form->EditSpawn->Text(), "No Program Selected");

    dialogs.Answer(fw::mrOk, "C:\\Mail\\eudora.exe");
    dblClick();
    EXPECT_EQ(host.SpawnPrg, "C:\\Mail\\eudora.exe");
    EXPECT_EQ(form->EditSpawn->Text(), "eudora.exe");
    EXPECT_EQ(host.OpenDialog.InitialDir, "C:\\Quiptide\\");
    EXPECT_EQ(host.OpenDialog.Options, unsigned(OFN_FILEMUSTEXIST)); // left as the window set it
    EXPECT_FALSE(host.Spawn);
    EXPECT_FALSE(form->cbSpawn->Checked());
    EXPECT_EQ(host.Calls, Calls{});
}

TEST_F(SetupFormTest, ClosingByAnyMeansSavesTheSettings) {
    const auto closeWith = [this](auto post) {
        Open();
        post(form->Handle());
        EXPECT_EQ(form->ShowModal(), fw::mrCancel);
        EXPECT_EQ(host.Calls, Calls{"SaveSettings"});
    };
    closeWith([](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); });
    closeWith([](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    closeWith(
        [this](HWND) { PostMessageA(form->PageControl1->Handle(), WM_KEYDOWN, VK_ESCAPE, 0); });
}

TEST_F(SetupFormTest, DialogFrameTabsAndControlsAreAsLaidOut) {
    Open();
    EXPECT_EQ(form->Caption(), "Program Options");
    RECT client;
    GetClientRect(form->Handle(), &client);
    EXPECT_EQ(client.right, 289);
    EXPECT_EQ(client.bottom, 163);
    const LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(form->EditVar->Handle(), GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(GetWindowLongA(form->EditSpawn->Handle(), GWL_STYLE) & ES_READONLY);
    EXPECT_EQ(form->EditVar->Hint(), "Cycle Time in minutes");
    EXPECT_EQ(form->cbSpawn->Hint(), "Start the program below when Quiptide closes?");
    EXPECT_EQ(form->EditSpawn->Hint(), "Double-click to select your mail reader");

    HWND tabs = form->PageControl1->Handle();
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    std::vector<std::string> captions;
    for (int i = 0; i < 4; ++i) {
        char text[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        captions.push_back(text);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"&Tagline", "&Configuration", "&Date Format",
                                                  "T&ime Format"}));
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet1);
    EXPECT_TRUE(GetWindowLongA(form->TabSheet1->Handle(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(form->TabSheet2->Handle(), GWL_STYLE) & WS_VISIBLE);
}

// Keys as the thread's keyboard state shows them, for as long as this lives.
class TKeysHeld {
  public:
    TKeysHeld(bool ctrl, bool shift) {
        std::array<BYTE, 256> state{};
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        state[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state.data());
    }
    ~TKeysHeld() { SetKeyboardState(std::array<BYTE, 256>{}.data()); }
};

TEST_F(SetupFormTest, TabAndArrowKeysGoThroughTheControlsInTheListedOrder) {
    Open();
    form->Show();
    SetForegroundWindow(form->Handle());
    HWND tabs = form->PageControl1->Handle();
    SetFocus(tabs);
    // Tab and Shift+Tab, as the dialog's loop handles them.
    const auto tabRound = [&](bool back) {
        TKeysHeld keys(false, back);
        std::vector<HWND> order;
        for (int i = 0; i < 5; ++i) {
            MSG msg{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
            if (!form->PageControl1->DialogKey(msg))
                IsDialogMessageA(form->Handle(), &msg);
            order.push_back(GetFocus());
        }
        return order;
    };
    const std::vector<HWND> forward{form->rgSequencer->ButtonHandle(1),
                                    form->rgFrequency->ButtonHandle(1), form->EditVar->Handle(),
                                    form->cbTagTop->Handle(), tabs};
    EXPECT_EQ(tabRound(false), forward);
    EXPECT_EQ(tabRound(true),
              (std::vector<HWND>{forward[3], forward[2], forward[1], forward[0], forward[4]}));

    // The arrow keys move through a group's buttons, choosing each, and go round.
    dialogs.Answer(fw::mrOk, "20");
    SetFocus(form->rgFrequency->ButtonHandle(1));
    for (WPARAM arrow : {VK_DOWN, VK_RIGHT, VK_DOWN, VK_UP}) {
        MSG msg{GetFocus(), WM_KEYDOWN, arrow, 0, 0, {}};
        EXPECT_TRUE(form->rgFrequency->DialogKey(msg));
    }
    EXPECT_EQ(GetFocus(), form->rgFrequency->ButtonHandle(3));
    EXPECT_EQ(host.Frequency, "OnLoad");
    EXPECT_EQ(host.Interval, 20);
    EXPECT_EQ(host.Calls, (Calls{"StartTimer(250)", "CountIntervalFromNow", "FillBottomPanel",
                                 "StopTimer", "FillBottomPanel", "StartTimer(250)",
                                 "FillBottomPanel", "StopTimer", "FillBottomPanel"}));
}

TEST_F(SetupFormTest, TabsSwitchByClickCtrlTabAndAccelerator) {
    Open();
    form->Show();
    SetForegroundWindow(form->Handle());
    fw::TPageControl& pages = *form->PageControl1;
    HWND tabs = pages.Handle();
    RECT r;
    SendMessageA(tabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(pages.ActivePage(), form->TabSheet3);
    EXPECT_TRUE(IsWindowVisible(form->TabSheet3->Handle()));
    EXPECT_FALSE(IsWindowVisible(form->TabSheet1->Handle()));

    const auto key = [&](UINT message, WPARAM code, bool ctrl, bool shift) {
        TKeysHeld keys(ctrl, shift);
        MSG msg{GetFocus(), message, code, 0, 0, {}};
        return pages.DialogKey(msg);
    };
    EXPECT_TRUE(key(WM_KEYDOWN, VK_TAB, true, false));
    EXPECT_EQ(pages.ActivePageIndex(), 3);
    EXPECT_TRUE(key(WM_KEYDOWN, VK_TAB, true, false)); // round to the first
    EXPECT_EQ(pages.ActivePageIndex(), 0);
    EXPECT_TRUE(key(WM_KEYDOWN, VK_TAB, true, true));
    EXPECT_EQ(pages.ActivePageIndex(), 3);
    EXPECT_TRUE(key(WM_SYSCHAR, 'c', false, false));
    EXPECT_EQ(pages.ActivePage(), form->TabSheet2);
    EXPECT_TRUE(key(WM_SYSCHAR, 'I', false, false));
    EXPECT_EQ(pages.ActivePage(), form->TabSheet4);
    EXPECT_FALSE(key(WM_SYSCHAR, 'x', false, false));
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 3);

    // The focus leaves a sheet that is put away for the first control of the new one.
    pages.SetActivePageIndex(0);
    SetFocus(form->cbTagTop->Handle());
    EXPECT_TRUE(key(WM_KEYDOWN, VK_TAB, true, false));
    EXPECT_EQ(GetFocus(), form->cbWarnOnClose->Handle());
}

TEST_F(SetupFormTest, TheDialogsLoopOffersKeysToThePageControl) {
    Open();
    TKeysHeld keys(true, false);
    PostMessageA(form->PageControl1->Handle(), WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    form->ShowModal();
    EXPECT_EQ(form->PageControl1->ActivePage(), form->TabSheet2);
}

} // namespace
