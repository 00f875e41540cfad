// The tagline table: its components, the check that a file is a tagline table, opening
// one as the current table (falling back to the previous one), creating one, the offer to
// post a pending edit, and the Database menu's Select DB, Create DB and recent entries.
#include "taglinedb/TaglineDatabase.h"

#include "desktop/MRUList.h"
#include "framework/Application.h"
#include "framework/data/DataSource.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"
#include "framework/Dialogs.h"
#include "framework/Paths.h"
#include "taglinedb/TaglineDefs.h"
#include "taglinedb/TaglineHost.h"

#include <windows.h>

#include <commdlg.h>

namespace {

const char* const kTableFilter = "Paradox Database (*.db)|*.db";
const char* const kSelectTitle = "Select the Database to use:";

bool Editing(const fw::TTable& table) {
    return table.State() == fw::TDataSetState::dsEdit ||
           table.State() == fw::TDataSetState::dsInsert;
}

fw::TTable* NewTable(fw::TComponent* owner, const char* name) {
    auto* table = new fw::TTable(owner);
    table->SetName(name);
    table->SetTableType(fw::TTableType::ttParadox);
    return table;
}

fw::TDataSource* NewSource(fw::TComponent* owner, fw::TTable* table) {
    auto* source = new fw::TDataSource(owner);
    source->SetName("DataSource1");
    source->SetDataSet(table);
    source->SetAutoEdit(false);
    return source;
}

// One file, or, for a file not made yet, one full name.
bool SameFileName(const std::string& a, const std::string& b) {
    if (fw::SameFile(a, b))
        return true;
    char fullA[MAX_PATH], fullB[MAX_PATH];
    const DWORD na = GetFullPathNameA(a.c_str(), MAX_PATH, fullA, nullptr);
    const DWORD nb = GetFullPathNameA(b.c_str(), MAX_PATH, fullB, nullptr);
    return na > 0 && na < MAX_PATH && nb > 0 && nb < MAX_PATH && lstrcmpiA(fullA, fullB) == 0;
}

TMRUFileList* NewRecentList(fw::TComponent* owner, fw::TMenuItem* anchor) {
    auto* list = new TMRUFileList(owner);
    list->SetName("MRUDBList");
    list->SetFileMenu(anchor);
    list->AutoSaveName = "\\Software\\Brindlex\\Quiptide\\";
    list->AutoSaveKey = "MRU DB Items";
    list->RemoveOnClick = false;
    // Made after the layout was read, so it loads its saved list here.
    list->Loaded();
    return list;
}

} // namespace

TTaglineDatabase::TTaglineDatabase(fw::TComponent* owner, TTaglineHost& host,
                                   fw::TMenuItem* recentAnchor)
    : TComponent(owner), Table1(NewTable(this, "Table1")), Table2(NewTable(this, "Table2")),
      DataSource1(NewSource(this, Table1)), MRUDBList(NewRecentList(this, recentAnchor)),
      host_(host) {
    SetName("Taglines");
    Table1->SetExclusive(true);
    // The built-in table, reopened when the very first open of a run fails.
    Table1->SetTableName("Quiptide");
    Table1->SetIndexFieldNames("TagText");
    Table1->BindField("TagText", fw::TFieldType::ftString, 255, true);
    Table1->BindField("Record", fw::TFieldType::ftInteger);
}

bool TTaglineDatabase::ValidateTable(const std::string& fileName) {
    Table2->Close();
    Table2->SetDatabaseName(fw::ExtractFilePath(fileName));
    Table2->SetTableName(fileName);
    Table2->FieldDefs().Update();
    Table2->IndexDefs().Update();
    if (Table2->FieldDefs().IndexOf("TagText") < 0)
        throw fw::EDatabaseError("Sorry, This is not a Quiptide Database");
    Table2->IndexDefs().FindIndexForFields("TagText");
    return true;
}

void TTaglineDatabase::OpenDatabase(fw::TTable* table, const std::string& fileName) {
    fw::TWaitCursor wait;
    CheckState(Table1);
    table->Close();
    std::string file = fileName;
    if (!fw::FileExists(file)) {
        fw::ShowMessage("Your database cannot be found.");
        host_.StopTimer();
        fw::TFileDialog& dialog = host_.SharedOpenDialog();
        dialog.Title = kSelectTitle;
        dialog.Filter = kTableFilter;
        dialog.InitialDir = host_.ProgramFolder();
        if (fw::Dialogs().OpenFile(dialog))
            file = dialog.FileName;
    }
    ValidateTable(file);

    table->SetDatabaseName(host_.ProgramFolder());
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
        host_.FillBottomPanel();
        throw;
    }
    host_.SetDBFile(table->TableName());
    host_.FillBottomPanel();
}

void TTaglineDatabase::MakeTable(fw::TTable& table, const std::string& fileName) {
    table.SetTableName(fileName);
    table.SetTableType(fw::TTableType::ttParadox);
    table.CreateTable();
    table.IndexDefs().Update();
}

void TTaglineDatabase::CreateNewTable(fw::TTable* table, const std::string& fileName) {
    table->Close();
    // The window's own tables get the standard indexes, so a new table opens and keeps
    // its taglines unique; a table made for a purpose (an import) accepts duplicates.
    tagline::DefineTable(*table, table == Table1 || table == Table2);
    MakeTable(*table, fileName);
}

void TTaglineDatabase::CreateCopyTable(const std::string& fileName) {
    // Read from the open table: the definitions held may be those of a table that failed
    // to open since.
    if (Table1->Active())
        Table1->IndexDefs().Update();
    Table1->Close();
    // A table keyed with case counting keeps its case twins in the copy.
    tagline::DefineTableLike(*Table1, Table1->IndexDefs());
    MakeTable(*Table1, fileName);
}

void TTaglineDatabase::CheckNewTableName(const std::string& fileName) const {
    if (SameFileName(fileName, host_.SignatureFile()))
        throw fw::EDatabaseError("A database cannot replace the signature file.\r\n" + fileName +
                                 " is the signature file in use; choose another name.");
}

void TTaglineDatabase::CheckState(fw::TTable* table) {
    if (Editing(*table) &&
        fw::MessageDlg("Save changes to this record?", fw::TMsgDlgType::mtConfirmation,
                       fw::TMsgDlgButtons::mbOKCancel) == fw::mrOk)
        table->Post();
}

void TTaglineDatabase::SelectDB() {
    host_.StopTimer();
    fw::TFileDialog& dialog = host_.SharedOpenDialog();
    dialog.Title = kSelectTitle;
    dialog.Filter = kTableFilter;
    dialog.InitialDir = host_.ProgramFolder();
    if (!fw::Dialogs().OpenFile(dialog))
        return;
    // A file that is no tagline table leaves the current one open.
    const std::string file = dialog.FileName;
    ValidateTable(file);
    OpenDatabase(Table1, file);
}

void TTaglineDatabase::CreateDB() {
    host_.StopTimer();
    // Shown as a save dialog, so that choosing an existing file asks before replacing it.
    fw::TFileDialog& dialog = host_.SharedOpenDialog();
    dialog.Title = "Enter the Name of the new Database:";
    dialog.Filter = kTableFilter;
    dialog.DefaultExt = "db";
    dialog.InitialDir = host_.ProgramFolder();
    dialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (!fw::Dialogs().SaveFile(dialog))
        return;
    const std::string file = dialog.FileName;
    CheckNewTableName(file);
    CheckState(Table1);
    CreateNewTable(Table1, file);
    host_.SetDBFile(file);
    Table1->SetIndexFieldNames("TagText");
    Table1->Open();
    host_.FillBottomPanel();
}

void TTaglineDatabase::OpenRecent(const std::string& fileName) {
    ValidateTable(fileName);
    OpenDatabase(Table1, fileName);
}

void TTaglineDatabase::NavigatorClicked(fw::TNavigateBtn button) {
    if (button == fw::TNavigateBtn::nbRefresh)
        Table1->SetIndexFieldNames("TagText");
}
