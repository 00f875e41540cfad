// The Database menu's table choices: Select DB, Create DB, the recent-databases
// entries, and what follows a click on the navigator.
#include "rotation/Main.h"

#include "framework/Dialogs.h"
#include "framework/data/Table.h"

namespace {

const char* const kTableFilter = "Paradox Database (*.db)|*.db";

} // namespace

void TMainForm::mnuDBSelectClick(fw::TComponent*) {
    StopTimer();
    fw::TFileDialog dialog;
    dialog.Title = "Select the Database to use:";
    dialog.Filter = kTableFilter;
    dialog.InitialDir = ProgramDir;
    dialog.Options = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_NOREADONLYRETURN;
    if (!fw::Dialogs().OpenFile(dialog))
        return;
    // A file that is no tagline table leaves the current one open.
    ValidateTable(dialog.FileName);
    OpenDatabase(Table1, dialog.FileName);
}

void TMainForm::mnuDBCreateClick(fw::TComponent*) {
    StopTimer();
    // A save dialog, so that choosing an existing file asks before replacing it.
    fw::TFileDialog dialog;
    dialog.Title = "Enter the Name of the new Database:";
    dialog.Filter = kTableFilter;
    dialog.DefaultExt = "db";
    dialog.InitialDir = ProgramDir;
    dialog.Options = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST;
    if (!fw::Dialogs().SaveFile(dialog))
        return;
    CheckState(Table1);
    CreateNewTable(Table1, dialog.FileName);
    DBFile = dialog.FileName;
    Table1->SetIndexFieldNames("TagText");
    Table1->Open();
    FillBottomPanel();
}

void TMainForm::MRUDBListMRUItemClick(const std::string& fileName) {
    ValidateTable(fileName);
    OpenDatabase(Table1, fileName);
}

void TMainForm::DBNavigatorClick(fw::TNavigateBtn button) {
    if (Timer->Enabled())
        StopTimer();
    if (button == fw::TNavigateBtn::nbRefresh)
        Table1->SetIndexFieldNames("TagText");
}
