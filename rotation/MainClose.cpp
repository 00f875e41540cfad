// Closing the main window: the close warning, starting the configured mail program, and
// saving the settings on the way out; and ending at the end of the session or when the
// installer must replace the program's files.
#include "rotation/Main.h"

#include "desktop/RegFiles.h"
#include "framework/Application.h"
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

// The installer asks as the system does at sign-out (WM_QUERYENDSESSION, then
// WM_ENDSESSION): nobody is there to answer the close warning, and the mail program is
// not wanted, but the settings are saved as at every close. A window of the program's own
// that is open (a dialog, a message) means the user is in the middle of something: then
// the program declines, and the installer says that it could not close it.
bool TMainForm::QueryEndSession() const {
    return IsWindowEnabled(Handle()) != FALSE;
}

void TMainForm::EndSession() {
    FormClose(this);
    fw::Application().Terminate();
}

void TMainForm::FileExit(fw::TComponent*) {
    Close();
}
