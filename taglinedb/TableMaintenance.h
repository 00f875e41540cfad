// TTableMaintenance: the commands that copy, merge, delete and fill tagline tables (Save
// DB As, Merge DBs, Delete DB, Import Text File, Tagline Thief) and the batch move they
// share. They work on the tagline table subsystem's tables and reach the window through
// its host.
#pragma once

#include "framework/Component.h"

#include <string>

class TTaglineDatabase;
class TTaglineHost;
namespace fw {
class TBatchMove;
class TTable;
enum class TBatchMode;
} // namespace fw

class TTableMaintenance : public fw::TComponent {
  public:
    TTableMaintenance(fw::TComponent* owner, TTaglineDatabase& database, TTaglineHost& host);

    // Rejected rows go to DuplicateTags and ProblemTags, replaced ones to ChangedTags.
    fw::TBatchMove* const BatchMove;

    void SaveDBAs();
    void MergeDBs();
    void DeleteDB();
    void ImportTextFile();
    void TagThief();

    // Where an import's scratch table "_temp.db" is made: the engine's private folder,
    // which is this user's and writable wherever the program was started from.
    static std::string TempTablePath();

  private:
    // Moves every row of source into destination in that mode.
    void Move(fw::TTable& source, fw::TTable& destination, fw::TBatchMode mode);
    // Points Table2 at a file (its folder as the database name).
    void AimTable2(const std::string& fileName);

    TTaglineDatabase& db_;
    TTaglineHost& host_;
};
