// The main window's side of the options dialog: opening it, and what its clicks do to
// the window at once.
#include "rotation/Main.h"

#include "desktop/SetupForm.h"
#include "desktop/TrayIcon.h"
#include "framework/DateFormat.h"
#include "rotation/Clock.h"

void TMainForm::mnuSetupConfigClick(fw::TComponent*) {
    TFormSetup setup(this, *this);
    setup.ShowModal();
}

TSetupHost::TSettings TMainForm::EditedSettings() {
    return {Sequencer, Frequency, SpawnPrg, CustDate, CustTime, Interval,
            TagPos,    Warn,      Hints,    ToolBar,  Tray,     Spawn};
}

void TMainForm::CountIntervalFromNow() {
    LastSave = Clock->Local();
    LastSaveTime = fw::FormatDateTime("tt", LastSave);
}

void TMainForm::ApplyToolBar() {
    SetHeight(ToolBar ? 458 : 427);
    SpeedBar->SetVisible(ToolBar);
}

void TMainForm::ApplyTray() {
    TrayIcon1->SetActive(Tray);
}
