// Closing the main window: the close warning, starting the configured mail program, and
// saving the settings on the way out.
#include "rotation/Main.h"

#include "desktop/RegFiles.h"
#include "framework/data/Table.h"
#include "framework/Dialogs.h"
#include "framework/Paths.h"
#include "framework/Process.h"

void TMainForm::FormCloseQuery(fw::TComponent*, bool& canClose) {
    if (Warn) {
        int answer = fw::MessageDlg(
            "Quiptide will not change taglines if closed!\r\nShow this warning again?",
            fw::TMsgDlgType::mtInformation, fw::TMsgDlgButtons::mbYesNoCancel);
        if (answer == fw::mrNo) {
            Reg->WriteValue("Warn", fw::Variant(false));
            Warn = false;
        } else if (answer == fw::mrCancel) {
            canClose = false;
        }
    }
    // A cancelled close keeps the program open and does not start the mail program.
    if (Spawn && canClose)
        StartSpawnProgram();
}

bool TMainForm::StartSpawnProgram() {
    if (!fw::FileExists(SpawnPrg)) {
        SpawnPrg.clear();
        fw::MessageDlg("Program not found!", fw::TMsgDlgType::mtWarning, fw::TMsgDlgButtons::mbOK);
        return false;
    }
    if (fw::StartProgram(SpawnPrg, SW_SHOWNORMAL) <= 31) {
        fw::MessageDlg("Failed to start program", fw::TMsgDlgType::mtWarning,
                       fw::TMsgDlgButtons::mbOK);
        return false;
    }
    return true;
}

void TMainForm::FormClose(fw::TComponent*) {
    DragAcceptFiles(Handle(), FALSE);
    mnuFileSaveSettingsClick(this);
    Table1->Close();
}

void TMainForm::FileExit(fw::TComponent*) {
    Close();
}
