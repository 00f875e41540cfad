// TTaglineDatabase: the tagline table of the main window. It owns the table objects
// (Table1 the current table, Table2 for checks and copies), the data source that binds
// Table1 to the window's controls and the recent-databases list, and it decides which
// files are tagline tables, opens, creates and switches them.
#pragma once

#include "framework/Component.h"
#include "framework/data/DataControls.h"

#include <string>

class TMRUFileList;
class TTaglineHost;
namespace fw {
class TDataSource;
class TMenuItem;
class TTable;
} // namespace fw

class TTaglineDatabase : public fw::TComponent {
  public:
    // recentAnchor: the menu separator above which the recent tables are listed.
    TTaglineDatabase(fw::TComponent* owner, TTaglineHost& host, fw::TMenuItem* recentAnchor);

    fw::TTable* const Table1;
    fw::TTable* const Table2;
    fw::TDataSource* const DataSource1;
    TMRUFileList* const MRUDBList;

    // Raises when the file is no tagline table; never returns false. Leaves Table2
    // closed and aimed at the file.
    bool ValidateTable(const std::string& fileName);
    // Makes the file the current table, or reopens the previous one and raises why not.
    void OpenDatabase(fw::TTable* table, const std::string& fileName);
    // An empty tagline table file; Table1 and Table2 get the standard indexes ("Tag" on
    // TagText, "RecNo" on Record), any other table object none, so that it takes
    // duplicates. The object is left closed, aimed at the file.
    void CreateNewTable(fw::TTable* table, const std::string& fileName);
    // An empty tagline table file for a copy of the current table, with the current
    // table's indexes where a tagline table can have them, else the standard ones; Table1
    // is left closed, aimed at the file.
    void CreateCopyTable(const std::string& fileName);
    // Raises, before anything changes, when a new table may not take this name: the
    // signature file in use would turn into a table and the next tagline into its bytes.
    void CheckNewTableName(const std::string& fileName) const;
    // Offers to post a pending edit.
    void CheckState(fw::TTable* table);

    // The Database menu's table choices.
    void SelectDB();
    void CreateDB();
    void OpenRecent(const std::string& fileName);
    // What follows the navigator's own action on Table1.
    void NavigatorClicked(fw::TNavigateBtn button);

  private:
    // Creates the table the object's definitions describe under the name.
    static void MakeTable(fw::TTable& table, const std::string& fileName);

    TTaglineHost& host_;
};
