// The main window's tagline table: the table components, the check that a file is a
// tagline table, opening one as the current table (falling back to the previous one),
// creating one, and the offer to post a pending edit.
#include "rotation/Main.h"

#include "desktop/MRUList.h"
#include "framework/Dialogs.h"
#include "framework/SysUtils.h"
#include "framework/data/DBErrors.h"
#include "framework/data/DataSource.h"
#include "framework/data/Table.h"
#include "framework/Application.h"

namespace {

bool Editing(const fw::TTable& table) {
    return table.State() == fw::TDataSetState::dsEdit ||
           table.State() == fw::TDataSetState::dsInsert;
}

// The folder part of a file name: up to and including its last "\" or ":".
std::string FolderOf(const std::string& fileName) {
    size_t end = fileName.find_last_of("\\:");
    return end == std::string::npos ? std::string() : fileName.substr(0, end + 1);
}

} // namespace

void TMainForm::CreateTableComponents() {
    Table1 = new fw::TTable(this);
    Table1->SetName("Table1");
    Table1->SetTableType(fw::TTableType::ttParadox);
    Table1->SetExclusive(true);
    // The built-in table, reopened when the very first open of a run fails.
    Table1->SetTableName("Quiptide");
    Table1->SetIndexFieldNames("TagText");
    Table1->BindField("TagText", fw::TFieldType::ftString, 255, true);
    Table1->BindField("Record", fw::TFieldType::ftInteger);

    Table2 = new fw::TTable(this);
    Table2->SetName("Table2");
    Table2->SetTableType(fw::TTableType::ttParadox);

    DataSource1 = new fw::TDataSource(this);
    DataSource1->SetName("DataSource1");
    DataSource1->SetDataSet(Table1);
    DataSource1->SetAutoEdit(false);

    DBLookupComboBox1->KeyField = "TagText";
    DBLookupComboBox1->SetDataSource(DataSource1);
    DBMemo->DataField = "TagText";
    DBMemo->SetDataSource(DataSource1);
    DBNavigator->SetDataSource(DataSource1);
    DBNavigator->OnClick = [this](fw::TNavigateBtn button) { DBNavigatorClick(button); };

    MRUDBList = new TMRUFileList(this);
    MRUDBList->SetName("MRUDBList");
    MRUDBList->SetFileMenu(dynamic_cast<fw::TMenuItem*>(FindComponent("N5")));
    MRUDBList->AutoSaveName = "\\Software\\Brindlex\\Quiptide\\";
    MRUDBList->AutoSaveKey = "MRU DB Items";
    MRUDBList->RemoveOnClick = false;
    MRUDBList->OnMRUItemClick = [this](fw::TComponent*, const std::string& fileName) {
        MRUDBListMRUItemClick(fileName);
    };
    MRUDBList->Loaded();
}

bool TMainForm::ValidateTable(const std::string& fileName) {
    Table2->Close();
    Table2->SetDatabaseName(FolderOf(fileName));
    Table2->SetTableName(fileName);
    Table2->FieldDefs().Update();
    Table2->IndexDefs().Update();
    if (Table2->FieldDefs().IndexOf("TagText") < 0)
        throw fw::EDatabaseError("Sorry, This is not a Quiptide Database");
    Table2->IndexDefs().FindIndexForFields("TagText");
    return true;
}

void TMainForm::OpenDatabase(fw::TTable* table, const std::string& fileName) {
    fw::TWaitCursor wait;
    CheckState(Table1);
    table->Close();
    std::string file = fileName;
    if (!fw::FileExists(file)) {
        fw::ShowMessage("Your database cannot be found.");
        StopTimer();
        OpenDialog.Title = "Select the Database to use:";
        OpenDialog.Filter = "Paradox Database (*.db)|*.db";
        OpenDialog.InitialDir = ProgramDir;
        if (fw::Dialogs().OpenFile(OpenDialog))
            file = OpenDialog.FileName;
    }
    ValidateTable(file);

    table->SetDatabaseName(ProgramDir);
    table->FieldDefs().Clear();
    table->IndexDefs().Clear();
    std::string previous = table->TableName();
    table->SetTableName(file);
    try {
        table->IndexDefs().Update();
        table->SetIndexFieldNames("TagText");
        table->Open();
        MRUDBList->AddItem(file);
    } catch (const fw::EDatabaseError&) {
        table->Close();
        table->SetTableName(previous);
        table->SetIndexFieldNames("TagText");
        // The first failure is the one to explain; when the previous table cannot be
        // opened either, no table is open.
        try {
            table->Open();
        } catch (const fw::EDatabaseError&) {
            table->Close();
        }
        FillBottomPanel();
        throw;
    }
    DBFile = table->TableName();
    FillBottomPanel();
}

void TMainForm::CreateNewTable(fw::TTable* table, const std::string& fileName) {
    table->Close();
    table->SetTableName(fileName);
    table->SetTableType(fw::TTableType::ttParadox);
    table->FieldDefs().Clear();
    table->FieldDefs().Add("TagText", fw::TFieldType::ftString, 255, true);
    table->FieldDefs().Add("Record", fw::TFieldType::ftAutoInc, 0, true);
    table->IndexDefs().Clear();
    // The window's own tables get the standard indexes, so a new table opens and keeps
    // its taglines unique; a table made for a purpose (an import) accepts duplicates.
    if (table == Table1 || table == Table2) {
        table->IndexDefs().Add("Tag", "TagText",
                               {fw::TIndexOption::ixPrimary, fw::TIndexOption::ixUnique,
                                fw::TIndexOption::ixCaseInsensitive});
        table->IndexDefs().Add("RecNo", "Record", {fw::TIndexOption::ixUnique});
    }
    table->CreateTable();
    table->IndexDefs().Update();
}

void TMainForm::CheckState(fw::TTable* table) {
    if (Editing(*table) &&
        fw::MessageDlg("Save changes to this record?", fw::TMsgDlgType::mtConfirmation,
                       fw::TMsgDlgButtons::mbOKCancel) == fw::mrOk)
        table->Post();
}
