// The main window's tagline table components: the table the program rotates through,
// the spare table used for imports and exports, and the data source of the controls.
#include "rotation/Main.h"

#include "framework/data/DataSource.h"
#include "framework/data/Table.h"

void TMainForm::CreateTableComponents() {
    Table1 = new fw::TTable(this);
    Table1->SetName("Table1");
    Table1->SetTableType(fw::TTableType::ttParadox);
    Table1->SetExclusive(true);
    Table1->SetIndexFieldNames("TagText");
    Table1->BindField("TagText", fw::TFieldType::ftString, 255);
    Table1->BindField("Record", fw::TFieldType::ftInteger);

    Table2 = new fw::TTable(this);
    Table2->SetName("Table2");

    DataSource1 = new fw::TDataSource(this);
    DataSource1->SetName("DataSource1");
    DataSource1->SetDataSet(Table1);
    DataSource1->SetAutoEdit(false);
}
