// The main window's side of the tagline table: the subsystem and its maintenance commands
// made with the window, the tagline controls bound to its data source, and the handlers
// of the Database menu and the tray's "Tagline Thief!".
#include "rotation/Main.h"

#include "desktop/MRUList.h"
#include "taglinedb/TableMaintenance.h"
#include "taglinedb/TaglineDatabase.h"

void TMainForm::CreateTableComponents() {
    Taglines = new TTaglineDatabase(this, *this, dynamic_cast<fw::TMenuItem*>(FindComponent("N5")));
    Table1 = Taglines->Table1;
    Table2 = Taglines->Table2;
    DataSource1 = Taglines->DataSource1;
    MRUDBList = Taglines->MRUDBList;
    Maintenance = new TTableMaintenance(this, *Taglines, *this);
    BatchMove = Maintenance->BatchMove;
    MRUDBList->OnMRUItemClick = [this](fw::TComponent*, const std::string& fileName) {
        MRUDBListMRUItemClick(fileName);
    };

    DBLookupComboBox1->KeyField = "TagText";
    DBLookupComboBox1->SetDataSource(DataSource1);
    DBMemo->DataField = "TagText";
    DBMemo->SetDataSource(DataSource1);
    DBNavigator->SetDataSource(DataSource1);
    DBNavigator->OnClick = [this](fw::TNavigateBtn button) { DBNavigatorClick(button); };
}

void TMainForm::mnuDBSelectClick(fw::TComponent*) {
    Taglines->SelectDB();
}

void TMainForm::mnuDBCreateClick(fw::TComponent*) {
    Taglines->CreateDB();
}

void TMainForm::MRUDBListMRUItemClick(const std::string& fileName) {
    Taglines->OpenRecent(fileName);
}

void TMainForm::DBNavigatorClick(fw::TNavigateBtn button) {
    if (Timer->Enabled())
        StopTimer();
    Taglines->NavigatorClicked(button);
}

void TMainForm::mnuDBSaveAsClick(fw::TComponent*) {
    Maintenance->SaveDBAs();
}

void TMainForm::mnuDBMergeClick(fw::TComponent*) {
    Maintenance->MergeDBs();
}

void TMainForm::mnuDBDeleteClick(fw::TComponent*) {
    Maintenance->DeleteDB();
}

void TMainForm::mnuDBImportClick(fw::TComponent*) {
    Maintenance->ImportTextFile();
}

void TMainForm::popTrayTagThiefClick(fw::TComponent*) {
    Maintenance->TagThief();
}
