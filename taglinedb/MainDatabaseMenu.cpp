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
    OpenDialog.Title = "Select the Database to use:";
    OpenDialog.Filter = kTableFilter;
    OpenDialog.InitialDir = ProgramDir;
    if (!fw::Dialogs().OpenFile(OpenDialog))
        return;
    // A file that is no tagline table leaves the current one open.
    const std::string file = OpenDialog.FileName;
    ValidateTable(file);
    OpenDatabase(Table1, file);
}

void TMainForm::mnuDBCreateClick(fw::TComponent*) {
    StopTimer();
    // Shown as a save dialog, so that choosing an existing file asks before replacing it.
    OpenDialog.Title = "Enter the Name of the new Database:";
    OpenDialog.Filter = kTableFilter;
    OpenDialog.DefaultExt = "db";
    OpenDialog.InitialDir = ProgramDir;
    OpenDialog.Options =
        OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!fw::Dialogs().SaveFile(OpenDialog))
        return;
    const std::string file = OpenDialog.FileName;
    CheckState(Table1);
    CreateNewTable(Table1, file);
    DBFile = file;
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
