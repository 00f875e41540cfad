// The main window's tagline cycling: the timer and its button, the tick's frequency rule,
// changing and finding the tagline, the demonstration and the status summary.
#include "rotation/Main.h"

#include "desktop/TrayIcon.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"
#include "framework/Dialogs.h"
#include "framework/TimerPause.h"
#include "rotation/Clock.h"
#include "rotation/Cycling.h"

#include <initializer_list>

namespace {

const char* const kStartCaption = "Start &Timer";
const char* const kStopCaption = "Stop &Timer";
const char* const kDemoCaption = "Stop &Demo";

} // namespace

void TMainForm::StartTimer(unsigned firstDelay) {
    if (Frequency == "OnLoad") {
        fw::MessageDlg("You must change the Frequency setting first!", fw::TMsgDlgType::mtWarning,
                       fw::TMsgDlgButtons::mbOK);
        return;
    }
    btnTimer->SetGlyph("BBYES");
    btnTimer->SetCaption(kStopCaption);
    // Off and on again, so the count starts anew even when the delay is the same.
    Timer->SetEnabled(false);
    Timer->SetInterval(firstDelay);
    Timer->SetEnabled(true);
    popTrayToggleTimer->SetCaption(btnTimer->Caption());
    TrayIcon1->SetToolTip("Quiptide is cycling Taglines!");
}

void TMainForm::StopTimer() {
    btnTimer->SetGlyph("BBNO");
    btnTimer->SetCaption(kStartCaption);
    Timer->SetEnabled(false);
    popTrayToggleTimer->SetCaption(btnTimer->Caption());
    TrayIcon1->SetToolTip("Quiptide is idle.");
}

void TMainForm::btnTimerClick(fw::TComponent*) {
    const std::string caption = btnTimer->Caption();
    if (caption == kStartCaption) {
        StartTimer(250);
    } else if (caption == kStopCaption) {
        StopTimer();
    } else if (caption == kDemoCaption) {
        StopTimer();
        SetDemoControls(true);
        if (Table1->Active())
            Table1->SetIndexFieldNames("TagText");
        btnReloadClick(this);
        popMain->SetAutoPopup(true);
        Frequency = PrevFrequency;
    }
}

void TMainForm::TimerTimer(fw::TComponent*) {
    TTickDecision d = DecideTick(Frequency, Interval, Date, LastSave, Clock->Local());
    if (d.box != TTickDecision::TBox::None) {
        // No tick comes while the box is open, so boxes never pile up.
        fw::TTimerPause pause(*Timer);
        fw::MessageDlg(d.message,
                       d.box == TTickDecision::TBox::Error ? fw::TMsgDlgType::mtError
                                                           : fw::TMsgDlgType::mtInformation,
                       fw::TMsgDlgButtons::mbOK);
    }
    if ((d.change || d.save) && !Table1->Active()) {
        // Cycling without a table would write the signature without its tagline, once a
        // tick: the timer stops and the closed table's error says why.
        StopTimer();
        Table1->CheckActive();
    }
    if (d.change)
        ChangeTag();
    if (d.save)
        FileSave(this);
    if (Frequency != "Demo")
        Timer->SetInterval(1000);
}

void TMainForm::ChangeTag() {
    // With no table open there is no tagline to move to: the closed table's error ends
    // the change before anything is composed or saved.
    Table1->CheckActive();
    if (Sequencer == "Random") {
        // The r-th row in Record order: every row can be drawn whatever gaps the Record
        // numbers have, and an empty table keeps its place.
        const int rows = Table1->RecordCount();
        if (rows > 0) {
            // A table without an index on Record keeps its order: the r-th row of any
            // order is as random a choice.
            try {
                Table1->SetIndexFieldNames("Record");
            } catch (const fw::EDatabaseError&) {
            }
            Table1->SetRecNo(RandomRow(Clock->Utc(), rows, Table1->RecNo()));
        }
    } else if (Sequencer == "Shuffle") {
        if (!Round)
            Round.emplace(ProgramDir + "mv-round.smv");
        Round->Next(*Table1, ChangeSeed(Clock->Utc()), Frequency != "Demo");
    } else {
        Table1->Next();
        if (Table1->Eof())
            Table1->First();
    }
    btnDisplayClick(this);
}

void TMainForm::FindTag() {
    Table1->CheckActive();
    Table1->SetIndexFieldNames("TagText");
    bool found = false;
    {
        // The controls would reread the rows on the key mode's state change and so leave
        // it; they are told once the lookup is over.
        fw::TControlsHeld held(*Table1);
        Table1->SetKey();
        Table1->FieldByName("TagText").SetAsString(MemoMisc->Text());
        found = Table1->GotoKey();
    }
    if (!found)
        fw::MessageDlg("Tagline not found!", fw::TMsgDlgType::mtError, fw::TMsgDlgButtons::mbOK);
}

void TMainForm::popTrayChangeTagNowClick(fw::TComponent*) {
    ChangeTag();
    FileSave(this);
}

void TMainForm::SetDemoControls(bool enabled) {
    const std::initializer_list<fw::TWinControl*> controls{
        btnReload, btnDisplay, btnSaveSig, btnClearEditor, DBNavigator, DBLookupComboBox1};
    for (fw::TWinControl* c : controls)
        c->SetEnabled(enabled);
    for (const char* menu : {"mnuFile", "mnuDB", "mnuSetup", "mnuSpell"})
        if (auto* item = dynamic_cast<fw::TMenuItem*>(FindComponent(menu)))
            item->SetEnabled(enabled);
    // "&Demo" carries a check mark while the demonstration runs.
    if (auto* demo = dynamic_cast<fw::TMenuItem*>(FindComponent("mnuSetupDemo")))
        demo->SetChecked(!enabled);
}

void TMainForm::mnuSetupDemoClick(fw::TComponent*) {
    if (MemoDisplay->Text().empty()) {
        fw::ShowMessage("Select or create a Signature first");
        return;
    }
    PrevFrequency = Frequency;
    Frequency = "Demo";
    SetDemoControls(false);
    popMain->SetAutoPopup(false);
    StartTimer(1500);
    btnTimer->SetCaption(kDemoCaption);
}

void TMainForm::popTrayStatusClick(fw::TComponent*) {
    fw::ShowMessage(StatusText(Frequency, Sequencer, Interval, Timer->Enabled()));
}
