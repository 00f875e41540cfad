// The main window's tagline cycling: the timer button and its states, the tick at clock
// boundaries, sequential and random changes through the real tagline table, the
// demonstration, the status summary, and boxes that cannot pile up.
#include "WindowTest.h"

#include <algorithm>
#include <array>
#include <set>

namespace {

class MainCyclingTest : public WindowTest {
  protected:
    // A signature file with side files whose saved tagline is the table's first row.
    TMainForm& CreateWithSignature(const std::string& frequency) {
        WriteString("SigFile", sigFile);
        WriteString("Frequency", frequency);
        WriteString("Sequencer", "Sequential");
        WriteBytes(sigFile, "on disk\r\n");
        Create();
        form->Table1->First();
        WriteBytes(dir + "mv-sig.smv", "Jane Doe\r\n");
        WriteBytes(dir + "mv-tag.smv", Tagline());
        form->btnReloadClick(nullptr);
        form->StartTimer(250);
        dialogs.Clear();
        return *form;
    }
    void Tick(WORD h, WORD mi, WORD s, WORD day = 6) {
        clock.SetLocal(2026, 12, day, h, mi, s);
        form->TimerTimer(form->Timer);
    }
    // The Record numbers of the rows that n changes, a millisecond apart, moved to.
    std::vector<int> Changes(int n) {
        std::vector<int> records;
        for (int i = 0; i < n; ++i) {
            clock.utc.wMilliseconds = static_cast<WORD>(++ms % 1000);
            form->ChangeTag();
            records.push_back(form->Table1->FieldByName("Record").AsInteger());
        }
        return records;
    }
    static std::vector<int> Sorted(std::vector<int> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
    int ms = 0;
};

TEST_F(MainCyclingTest, TheTimerButtonShowsAndTogglesTheState) {
    TMainForm& f = Create();
    EXPECT_EQ(f.btnTimer->Caption(), "Start &Timer");
    EXPECT_EQ(f.btnTimer->Glyph(), "BBNO");
    f.btnTimer->Click();
    EXPECT_TRUE(f.Timer->Enabled());
    EXPECT_EQ(f.Timer->Interval(), 250u);
    EXPECT_EQ(f.btnTimer->Caption(), "Stop &Timer");
    EXPECT_EQ(f.btnTimer->Glyph(), "BBYES");
    EXPECT_EQ(f.popTrayToggleTimer->Caption(), "Stop &Timer");
    EXPECT_EQ(f.TrayIcon1->ToolTip(), "Quiptide is cycling Taglines!");
    f.popTrayToggleTimer->Click();
    EXPECT_FALSE(f.Timer->Enabled());
    EXPECT_EQ(f.btnTimer->Caption(), "Start &Timer");
    EXPECT_EQ(f.btnTimer->Glyph(), "BBNO");
    EXPECT_EQ(f.popTrayToggleTimer->Caption(), "Start &Timer");
    EXPECT_EQ(f.TrayIcon1->ToolTip(), "Quiptide is idle.");
}

TEST_F(MainCyclingTest, StartingInOnLoadOnlyWarns) {
    TMainForm& f = Create();
    f.Frequency = "OnLoad";
    f.btnTimerClick(nullptr);
    EXPECT_EQ(dialogs.Last().Text, "You must change the Frequency setting first!");
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtWarning);
    EXPECT_FALSE(f.Timer->Enabled());
    EXPECT_EQ(f.btnTimer->Caption(), "Start &Timer");
}

TEST_F(MainCyclingTest, TheTrayStatusSummarisesTheSettings) {
    TMainForm& f = Create();
    f.Frequency = "Variable";
    f.Interval = 15;
    f.Sequencer = "Random";
    f.StartTimer(250);
    dialogs.Clear();
    FindComponentClick(f, "popTrayStatus");
    EXPECT_EQ(dialogs.Last().Text, "PROGRAM STATUS\r\n\r\nFrequency: Variable\r\nSequence: "
                                   "Random\r\nInterval is: 15 Minute(s)\r\nTimer is: On\r\n");
}

TEST_F(MainCyclingTest, SequentialChangesWrapFromTheLastRowToTheFirst) {
    TMainForm& f = Create();
    f.Sequencer = "Sequential";
    f.MemoEditor->SetText("Jane Doe\r\n");
    f.Table1->First();
    const std::string first = Tagline();
    f.Table1->Next();
    const std::string second = Tagline();
    f.Table1->First();
    f.ChangeTag();
    EXPECT_EQ(Tagline(), second);
    EXPECT_EQ(f.MemoDisplay->Text(), "Jane Doe\r\n" + second);
    f.Table1->Last();
    f.ChangeTag();
    EXPECT_EQ(f.Table1->RecNo(), 1);
    EXPECT_EQ(Tagline(), first);
}

TEST_F(MainCyclingTest, RandomChangesReachEveryRowWhateverGapsTheRecordsHave) {
    // A table that has lost most rows: the Record values left all lie above the row
    // count, so a lookup by Record value would never succeed.
    {
        std::vector<std::string> taglines;
        for (int i = 1; i <= 12; ++i)
            taglines.push_back("Tagline number " + std::to_string(i));
        MakeTable("gaps.db", taglines);
        fw::TTable t(nullptr);
        t.SetTableName(dir + "gaps.db");
        t.Open();
        t.SetIndexFieldNames("Record");
        for (int i = 1; i <= 6; ++i) {
            t.First();
            t.Delete();
        }
    }
    WriteString("DBFile", dir + "gaps.db");
    TMainForm& f = Create();
    ASSERT_TRUE(f.Table1->Active());
    const int rows = f.Table1->RecordCount();
    ASSERT_EQ(rows, 6);
    std::set<int> records;
    for (WORD ms = 0; ms < 400; ++ms) {
        clock.utc.wMilliseconds = ms;
        f.ChangeTag();
        records.insert(f.Table1->FieldByName("Record").AsInteger());
    }
    EXPECT_EQ(static_cast<int>(records.size()), rows);
    EXPECT_EQ(*records.begin(), 7);
    EXPECT_EQ(*records.rbegin(), 12);

    // An empty table keeps its place and the change ends.
    while (f.Table1->RecordCount() > 0) {
        f.Table1->First();
        f.Table1->Delete();
    }
    f.MemoEditor->SetText("Jane Doe\r\n");
    f.ChangeTag();
    EXPECT_EQ(f.MemoDisplay->Text(), "Jane Doe\r\n");
}

TEST_F(MainCyclingTest, HourlySavesEveryTickAndChangesAtTheTopOfTheHour) {
    TMainForm& f = CreateWithSignature("Hourly");
    clock.SetLocal(2026, 12, 6, 10, 59, 58);
    f.FileSave(nullptr);
    const std::string before = Tagline();
    Tick(10, 59, 59);
    EXPECT_EQ(Tagline(), before);
    EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\n" + before);
    EXPECT_EQ(f.Timer->Interval(), 1000u);
    Tick(11, 0, 0);
    const std::string changed = Tagline();
    EXPECT_NE(changed, before);
    EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\n" + changed);
    EXPECT_EQ(ReadBytes(dir + "mv-tag.smv"), changed);
    Tick(11, 0, 1);
    Tick(11, 59, 59);
    EXPECT_EQ(Tagline(), changed);
    EXPECT_TRUE(f.Timer->Enabled());
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(MainCyclingTest, VariableCountsMinutesAcrossTheHourAndMidnight) {
    TMainForm& f = CreateWithSignature("Variable");
    f.Interval = 5;
    clock.SetLocal(2026, 12, 6, 10, 58, 0);
    f.FileSave(nullptr);
    const std::string before = Tagline();
    Tick(11, 2, 59);
    EXPECT_EQ(Tagline(), before);
    Tick(11, 3, 0);
    const std::string changed = Tagline();
    EXPECT_NE(changed, before);
    clock.SetLocal(2026, 12, 6, 23, 57, 30);
    f.FileSave(nullptr);
    Tick(0, 2, 29, 7);
    EXPECT_EQ(Tagline(), changed);
    Tick(0, 2, 30, 7);
    EXPECT_NE(Tagline(), changed);
}

TEST_F(MainCyclingTest, TheFirstTickAfterAStartWithoutASaveCountsFromTheStart) {
    WriteString("Frequency", "Variable");
    TMainForm& f = Create();
    const std::string before = Tagline();
    GetLocalTime(&clock.local);
    f.StartTimer(250);
    f.TimerTimer(f.Timer);
    EXPECT_EQ(Tagline(), before);
    EXPECT_TRUE(dialogs.Shown().empty()) << Texts()[0];
}

TEST_F(MainCyclingTest, DailyChangesOnTheFirstTickOfANewDay) {
    TMainForm& f = CreateWithSignature("Daily");
    clock.SetLocal(2026, 12, 6, 23, 0, 0);
    f.FileSave(nullptr);
    const std::string before = Tagline();
    Tick(23, 59, 59);
    EXPECT_EQ(Tagline(), before);
    EXPECT_EQ(f.Date, fw::DateToStr(SYSTEMTIME{2026, 12, 0, 6, 0, 0, 0, 0}));
    Tick(0, 0, 0, 7);
    EXPECT_NE(Tagline(), before);
    EXPECT_EQ(f.Date, fw::DateToStr(SYSTEMTIME{2026, 12, 0, 7, 0, 0, 0, 0}));
}

// Records whether the cycling timer was running while each box was open.
class TTimerWatchingDialogs : public fw::TScriptedDialogs {
  public:
    explicit TTimerWatchingDialogs(const fw::TTimer& timer) : timer_(timer) {}
    int MessageDlg(const std::string& text, fw::TMsgDlgType kind, fw::TMsgDlgButtons buttons,
                   const std::string& caption) override {
        timerDuringBox.push_back(timer_.Enabled());
        return TScriptedDialogs::MessageDlg(text, kind, buttons, caption);
    }
    std::vector<bool> timerDuringBox;

  private:
    const fw::TTimer& timer_;
};

TEST_F(MainCyclingTest, ATickBoxHoldsTheTimerSoBoxesCannotPileUp) {
    TMainForm& f = CreateWithSignature("Hourly");
    TTimerWatchingDialogs watching(*f.Timer);
    f.Frequency = "Weekly";
    Tick(12, 0, 0);
    f.Frequency = "Daily";
    f.Date = "not a date";
    Tick(12, 0, 1);
    ASSERT_EQ(watching.Shown().size(), 2u);
    EXPECT_EQ(watching.Shown()[0].Text,
              "You must select a Frequency from the Setup|Frequency menu");
    EXPECT_EQ(watching.Shown()[0].Kind, fw::TMsgDlgType::mtInformation);
    EXPECT_EQ(watching.Shown()[1].Kind, fw::TMsgDlgType::mtError);
    EXPECT_EQ(watching.timerDuringBox, (std::vector<bool>{false, false}));
    EXPECT_TRUE(f.Timer->Enabled());
}

TEST_F(MainCyclingTest, WithNoTableOpenATaglineChangeSavesNothingAndSaysWhy) {
    const std::string closed = "Cannot perform this operation on a closed dataset";
    WriteString("DBFile", dir + "gone.db");
    WriteString("SigFile", sigFile);
    WriteString("Frequency", "Hourly");
    WriteBytes(sigFile, "Jane Doe\r\nthe tagline of the last save\r\n");
    WriteBytes(dir + "mv-sig.smv", "Jane Doe\r\n");
    WriteBytes(dir + "mv-tag.smv", "the tagline of the last save\r\n");
    // The missing table's dialog is cancelled: the start-up ends with no table open.
    TMainForm& f = Create();
    ASSERT_FALSE(f.Table1->Active());
    auto unchanged = [&] {
        EXPECT_EQ(ReadBytes(sigFile), "Jane Doe\r\nthe tagline of the last save\r\n");
        EXPECT_EQ(ReadBytes(dir + "mv-sig.smv"), "Jane Doe\r\n");
        EXPECT_EQ(ReadBytes(dir + "mv-tag.smv"), "the tagline of the last save\r\n");
    };

    dialogs.Clear();
    fw::Application().Protect([&] { FindComponentClick(f, "popTrayChangeTagNow"); });
    EXPECT_EQ(Texts(), std::vector<std::string>{closed});
    unchanged();

    // A tick that would change or save stops the timer instead of saving every second.
    f.StartTimer(250);
    dialogs.Clear();
    fw::Application().Protect([&] { Tick(11, 0, 0); });
    EXPECT_EQ(Texts(), std::vector<std::string>{closed});
    EXPECT_FALSE(f.Timer->Enabled());
    EXPECT_EQ(f.btnTimer->Caption(), "Start &Timer");
    unchanged();

    dialogs.Clear();
    fw::Application().Protect([&] { f.FindTag(); });
    EXPECT_EQ(Texts(), std::vector<std::string>{closed});
}

TEST_F(MainCyclingTest, TheDemonstrationWritesNothingAndRestoresTheSavedTagline) {
    TMainForm& f = CreateWithSignature("Hourly");
    const std::string saved = Tagline();
    f.FileSave(nullptr);
    const std::string onDisk = ReadBytes(sigFile);
    f.mnuSetupDemoClick(nullptr);
    EXPECT_EQ(f.Frequency, "Demo");
    EXPECT_EQ(f.btnTimer->Caption(), "Stop &Demo");
    EXPECT_EQ(f.popTrayToggleTimer->Caption(), "Stop &Timer");
    EXPECT_EQ(f.Timer->Interval(), 1500u);
    EXPECT_FALSE(f.btnReload->Enabled());
    EXPECT_FALSE(f.btnSaveSig->Enabled());
    EXPECT_FALSE(f.DBNavigator->Enabled());
    EXPECT_FALSE(f.DBLookupComboBox1->Enabled());
    EXPECT_FALSE(f.popMain->AutoPopup());
    EXPECT_TRUE(f.btnTimer->Enabled());
    auto* demo = dynamic_cast<fw::TMenuItem*>(f.FindComponent("mnuSetupDemo"));
    ASSERT_NE(demo, nullptr);
    EXPECT_TRUE(demo->Checked());
    for (WORD s = 0; s < 3; ++s)
        Tick(15, 0, s);
    EXPECT_NE(Tagline(), saved);
    EXPECT_EQ(f.Timer->Interval(), 1500u);
    EXPECT_EQ(ReadBytes(sigFile), onDisk);
    EXPECT_EQ(ReadBytes(dir + "mv-tag.smv"), saved);

    f.btnTimer->Click();
    EXPECT_EQ(f.Frequency, "Hourly");
    EXPECT_FALSE(f.Timer->Enabled());
    EXPECT_EQ(f.btnTimer->Caption(), "Start &Timer");
    EXPECT_EQ(Tagline(), saved);
    EXPECT_EQ(f.MemoDisplay->Text(), "Jane Doe\r\n" + saved);
    EXPECT_TRUE(f.btnReload->Enabled());
    EXPECT_TRUE(f.DBNavigator->Enabled());
    EXPECT_TRUE(f.popMain->AutoPopup());
    EXPECT_FALSE(demo->Checked());
    EXPECT_TRUE(dialogs.Shown().empty()) << Texts()[0];
}

TEST_F(MainCyclingTest, ClosingDuringADemonstrationKeepsTheEarlierFrequency) {
    CreateWithSignature("Variable");
    form->mnuSetupDemoClick(nullptr);
    Close();
    TMainForm& f = Create();
    EXPECT_EQ(f.Frequency, "Variable");
}

TEST_F(MainCyclingTest, NoDemonstrationWithoutADraft) {
    TMainForm& f = Create();
    f.MemoDisplay->Clear();
    f.mnuSetupDemoClick(nullptr);
    EXPECT_EQ(dialogs.Last().Text, "Select or create a Signature first");
    EXPECT_EQ(f.Frequency, "Daily");
    EXPECT_FALSE(f.Timer->Enabled());
}

TEST_F(MainCyclingTest, ShuffleShowsEveryTaglineOnceARoundAcrossARestartADeletionAndAnAddition) {
    WriteString("DBFile", MakeTable("six.db", {"one", "two", "three", "four", "five", "six"}));
    WriteString("Sequencer", "Shuffle");
    Create();
    EXPECT_EQ(form->StatusBarTop->Panel(1).Text(), "Shuffle");
    const std::vector<int> first = Sorted(Changes(3));
    Close();

    TMainForm& f = Create();
    // A row not shown yet goes, and a new one (Record 7) comes.
    int gone = 1;
    while (std::binary_search(first.begin(), first.end(), gone))
        ++gone;
    f.Table1->SetIndexFieldNames("Record");
    f.Table1->SetRecNo(gone);
    ASSERT_EQ(f.Table1->FieldByName("Record").AsInteger(), gone);
    f.Table1->Delete();
    f.Table1->Append();
    f.Table1->FieldByName("TagText").SetAsString("seven");
    f.Table1->Post();
    std::vector<int> rest;
    for (int r = 1; r <= 7; ++r)
        if (r != gone && !std::binary_search(first.begin(), first.end(), r))
            rest.push_back(r);
    const std::vector<int> end = Changes(3);
    EXPECT_EQ(Sorted(end), rest);

    const std::vector<int> next = Changes(6);
    std::vector<int> all{1, 2, 3, 4, 5, 6, 7};
    all.erase(all.begin() + (gone - 1));
    EXPECT_EQ(Sorted(next), all);
    EXPECT_NE(next.front(), end.back()) << "a round never begins with the last one shown";

    // A demonstration draws from a copy of the round and writes nothing.
    const std::string kept = ReadBytes(dir + "mv-round.smv");
    ASSERT_FALSE(kept.empty());
    f.Frequency = "Demo";
    Changes(2);
    EXPECT_EQ(ReadBytes(dir + "mv-round.smv"), kept);
}

TEST_F(MainCyclingTest, RandomChangesOnTwoTaglinesAlwaysChange) {
    WriteString("DBFile", MakeTable("two.db", {"heads", "tails"}));
    WriteString("Sequencer", "Random");
    Create();
    int before = form->Table1->FieldByName("Record").AsInteger();
    for (int record : Changes(60)) {
        ASSERT_NE(record, before);
        before = record;
    }
}

TEST_F(MainCyclingTest, FindGoesToTheNextMatchIgnoringCaseWrappingAndStaysWhenNoneMatches) {
    // In TagText order: Apple pie, banana split, Cherry APPLE tart, plain.
    WriteString("DBFile",
                MakeTable("find.db", {"plain", "Cherry APPLE tart", "banana split", "Apple pie"}));
    TMainForm& f = Create();
    f.Table1->First();
    f.MemoEditor->SetText("Jane Doe\r\n");
    f.StartTimer(250);
    const auto press = [&](const char* key) {
        std::array<BYTE, 256> state{};
        state[VK_CONTROL] = std::string(key) == "Ctrl+F" ? 0x80 : 0;
        SetKeyboardState(state.data());
        const WPARAM code = std::string(key) == "F3" ? VK_F3 : 'F';
        MSG msg{f.DBMemo->Handle(), WM_KEYDOWN, code, 0, 0, {}};
        const bool handled = f.MainMenu->DispatchShortCut(msg);
        SetKeyboardState(std::array<BYTE, 256>{}.data());
        return handled;
    };
    struct Step {
        const char* key;
        int answer; // to the input box; 0: none is asked for
        const char* text;
        const char* tagline; // where the table stands afterwards
        const char* box;     // the information box shown, or ""
    } steps[] = {
        {"Ctrl+F", fw::mrOk, "APPLE", "Cherry APPLE tart", ""},
        {"F3", 0, "", "Apple pie", ""}, // past the end, round to the first
        {"F3", 0, "", "Cherry APPLE tart", ""},
        {"Ctrl+F", fw::mrOk, "kiwi", "Cherry APPLE tart", "No tagline contains \"kiwi\"."},
        {"Ctrl+F", fw::mrCancel, "plain", "Cherry APPLE tart", ""},
        {"F3", 0, "", "Cherry APPLE tart", "No tagline contains \"kiwi\"."},
        {"Ctrl+F", fw::mrOk, "PLAIN", "plain", ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.key) + " " + step.text);
        dialogs.Clear();
        if (step.answer)
            dialogs.Answer(step.answer, step.text);
        ASSERT_TRUE(press(step.key));
        EXPECT_EQ(dialogs.Unanswered(), 0u);
        EXPECT_EQ(Tagline(), step.tagline);
        EXPECT_EQ(f.MemoDisplay->Text(), "Jane Doe\r\n" + Tagline());
        const bool boxed = !dialogs.Shown().empty() &&
                           dialogs.Last().What == fw::TScriptedDialogs::TShownKind::Message;
        EXPECT_EQ(boxed ? dialogs.Last().Text : "", step.box);
    }
    EXPECT_FALSE(f.Timer->Enabled()) << "a found tagline stops the cycling, as the navigator does";
    EXPECT_EQ(f.Table1->State(), fw::TDataSetState::dsBrowse);

    // The Database menu, and its keys, rest during a demonstration.
    f.mnuSetupDemoClick(nullptr);
    EXPECT_FALSE(press("F3"));
    f.btnTimer->Click();
}

} // namespace
