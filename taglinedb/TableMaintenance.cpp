// The table maintenance commands: each stops or holds off the tagline timer as it must,
// shows the wait pointer while it works, and cleans up (scratch table, Table2, timer,
// pointer) on every path.
#include "taglinedb/TableMaintenance.h"

#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "framework/data/BatchMove.h"
#include "framework/data/DBErrors.h"
#include "framework/data/Session.h"
#include "framework/data/Table.h"
#include "framework/Dialogs.h"
#include "framework/Paths.h"
#include "framework/TimerPause.h"
#include "taglinedb/TaglineDatabase.h"
#include "taglinedb/TaglineHost.h"
#include "taglinedb/TextImport.h"

#include <commdlg.h>

namespace {

const char* const kTableFilter = "Paradox Database (*.db)|*.db";
constexpr size_t kTagLength = 255;

// Closes a table object when the scope ends, however it ends.
class TClosedAfter {
  public:
    explicit TClosedAfter(fw::TTable& table) : table_(table) {}
    ~TClosedAfter() { table_.Close(); }
    TClosedAfter(const TClosedAfter&) = delete;
    TClosedAfter& operator=(const TClosedAfter&) = delete;

  private:
    fw::TTable& table_;
};

fw::TBatchMove* NewBatchMove(fw::TComponent* owner) {
    auto* move = new fw::TBatchMove(owner);
    move->SetName("BatchMove");
    move->SetMode(fw::TBatchMode::batAppendUpdate);
    move->SetAbortOnKeyViol(false);
    move->SetAbortOnProblem(false);
    move->SetKeyViolTableName("DuplicateTags");
    move->SetProblemTableName("ProblemTags");
    move->SetChangedTableName("ChangedTags");
    return move;
}

// The dialog of Save DB As and Merge DBs: a table name, existing or not.
void TableNameDialog(fw::TFileDialog& dialog, const std::string& title, const std::string& folder) {
    dialog.Title = title;
    dialog.Filter = kTableFilter;
    dialog.DefaultExt = "db";
    dialog.InitialDir = folder;
    dialog.Options = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
}

std::string Copied(const fw::TBatchMove& move) {
    return std::to_string(move.MovedCount() - move.ProblemCount() - move.KeyViolCount()) +
           " Records Copied\r\n";
}

} // namespace

TTableMaintenance::TTableMaintenance(fw::TComponent* owner, TTaglineDatabase& database,
                                     TTaglineHost& host)
    : TComponent(owner), BatchMove(NewBatchMove(this)), db_(database), host_(host) {
    SetName("Maintenance");
}

std::string TTableMaintenance::TempTablePath() {
    return fw::TSession::Default().PrivateDir() + "_temp.db";
}

void TTableMaintenance::Move(fw::TTable& source, fw::TTable& destination, fw::TBatchMode mode) {
    // Each command sets its own mode, so an earlier Save DB As never turns a later merge
    // or import into appends that reject every tagline already there.
    BatchMove->SetMode(mode);
    BatchMove->SetSource(&source);
    BatchMove->SetDestination(&destination);
    BatchMove->Execute();
}

void TTableMaintenance::AimTable2(const std::string& fileName) {
    db_.Table2->Close();
    db_.Table2->SetDatabaseName(fw::ExtractFilePath(fileName));
    db_.Table2->SetTableName(fileName);
    db_.Table2->SetTableType(fw::TTableType::ttParadox);
}

void TTableMaintenance::SaveDBAs() {
    host_.StopTimer();
    fw::TFileDialog& dialog = host_.SharedOpenDialog();
    TableNameDialog(dialog, "Enter the Name of the new Database:", host_.ProgramFolder());
    if (!fw::Dialogs().SaveFile(dialog))
        return;
    const std::string file = dialog.FileName;
    // Creating the copy would first empty the table it is a copy of.
    if (fw::SameFile(file, host_.CurrentTablePath()))
        throw fw::EDatabaseError("A database cannot be saved over itself.\r\n" + file +
                                 " is the database in use; choose another name.");
    db_.CheckNewTableName(file);
    // Only a table is replaced, damaged or not: the name the dialog kept from the last
    // command may be a text file's.
    if (fw::FileExists(file)) {
        AimTable2(file);
        try {
            db_.Table2->FieldDefs().Update();
        } catch (const fw::EDBEngineError& e) {
            if (e.ErrorCode() == IDP_ERR_NOT_A_TABLE)
                throw;
        }
    }
    fw::TTable& table1 = *db_.Table1;
    db_.CheckState(&table1);
    db_.CreateCopyTable(file);
    db_.OpenDatabase(&table1, host_.CurrentTablePath());
    fw::TTable& table2 = *db_.Table2;
    table2.Close();
    table2.SetDatabaseName(host_.ProgramFolder());
    table2.SetTableName(file);
    {
        TClosedAfter closed(table2);
        Move(table1, table2, fw::TBatchMode::batAppend);
    }
    fw::ShowMessage(Copied(*BatchMove) + std::to_string(BatchMove->KeyViolCount()) +
                    " Duplicate Records");
}

void TTableMaintenance::MergeDBs() {
    host_.StopTimer();
    fw::TFileDialog& dialog = host_.SharedOpenDialog();
    TableNameDialog(dialog, "Enter the second Database:", host_.ProgramFolder());
    if (!fw::Dialogs().OpenFile(dialog))
        return;
    const std::string file = dialog.FileName;
    // Merging the table into itself would read the rows it is replacing.
    if (fw::SameFile(file, host_.CurrentTablePath()))
        throw fw::EDatabaseError("A database cannot be merged into itself.\r\n" + file +
                                 " is the database in use; choose another one.");
    fw::TTable& table1 = *db_.Table1;
    db_.CheckState(&table1);
    {
        fw::TWaitCursor wait;
        AimTable2(file);
        TClosedAfter closed(*db_.Table2);
        Move(*db_.Table2, table1, fw::TBatchMode::batAppendUpdate);
    }
    fw::ShowMessage(Copied(*BatchMove) + std::to_string(BatchMove->ProblemCount()) +
                    " Records Too Big\r\n" + std::to_string(BatchMove->KeyViolCount()) +
                    " Duplicate Records");
}

void TTableMaintenance::DeleteDB() {
    fw::TFileDialog& dialog = host_.SharedOpenDialog();
    dialog.Title = "Select the Database to Delete:";
    dialog.Filter = kTableFilter;
    dialog.InitialDir = host_.ProgramFolder();
    if (!fw::Dialogs().OpenFile(dialog))
        return;
    const std::string file = dialog.FileName;
    AimTable2(file);
    if (!fw::FileExists(file))
        return;
    if (fw::MessageDlg("Are you sure you want to delete this Table?\r\n" + file,
                       fw::TMsgDlgType::mtWarning, fw::TMsgDlgButtons::mbYesCancel) == fw::mrYes)
        db_.Table2->DeleteTable();
}

void TTableMaintenance::ImportTextFile() {
    fw::TTimerPause pause(host_.CyclingTimer(), fw::TTimerPause::TRestore::Always);
    if (fw::MessageDlg("The text file being imported must have each \r\ntagline on a single "
                       "line. The first character\r\n must be in the first column.",
                       fw::TMsgDlgType::mtInformation, fw::TMsgDlgButtons::mbOKCancel) != fw::mrOk)
        return;
    fw::TFileDialog& dialog = host_.SharedOpenDialog();
    dialog.Title = "Select the text file to import:";
    dialog.Filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*";
    dialog.InitialDir = host_.ProgramFolder();
    if (!fw::Dialogs().OpenFile(dialog))
        return;
    fw::TWaitCursor wait;
    // The file is read whole first: one that cannot be read, or is no text, changes no
    // table at all.
    const TImportText text = ReadImportLines(dialog.FileName);
    fw::TTable temp(nullptr);
    try {
        db_.CreateNewTable(&temp, TempTablePath());
        temp.Open();
        for (const std::string& line : text.lines) {
            temp.Append();
            temp.FieldByName("TagText").SetAsString(line.substr(0, kTagLength));
            temp.Post();
        }
        temp.Close();
        Move(temp, *db_.Table1, fw::TBatchMode::batAppendUpdate);
    } catch (const fw::EDBEngineError& e) {
        // The engine's own words follow, so the user learns what went wrong.
        throw fw::EDatabaseError(std::string("Error importing text file ... Aborting!\r\n") +
                                 e.what());
    }
    fw::ShowMessage(text.replaced ? "File successfully imported!\r\nCharacters that a tagline "
                                    "cannot hold became \"?\"."
                                  : "File successfully imported!");
}

void TTableMaintenance::TagThief() {
    fw::TTimerPause pause(host_.CyclingTimer(), fw::TTimerPause::TRestore::Always);
    // An empty text would only be refused as a blank tagline after it was added.
    const std::optional<fw::TClipboardText> clip = fw::ClipboardText();
    if (!clip || clip->text.empty()) {
        fw::ShowMessage("Clipboard is either empty or does not contain text.");
        return;
    }
    const std::string tagline = clip->text.substr(0, kTagLength);
    fw::TTable& table1 = *db_.Table1;
    table1.SetIndexFieldNames("TagText");
    bool found = false;
    {
        fw::TControlsHeld held(table1);
        table1.SetKey();
        table1.FieldByName("TagText").SetAsString(tagline);
        found = table1.GotoKey();
    }
    if (found) {
        fw::MessageDlg("That Tagline already exists!", fw::TMsgDlgType::mtInformation,
                       fw::TMsgDlgButtons::mbOK);
        return;
    }
    try {
        table1.Append();
        table1.FieldByName("TagText").SetAsString(tagline);
        table1.Post();
    } catch (const std::exception&) {
        // The row stays in insert state in the window, for the user to mend or cancel.
        fw::MessageDlg("Undocumented error in module popTagThiefClick", fw::TMsgDlgType::mtError,
                       fw::TMsgDlgButtons::mbOK);
        return;
    }
    std::string stolen = "Stolen!";
    if (clip->text.size() > kTagLength)
        stolen += "\r\nOnly its first 255 characters fit in a tagline.";
    if (clip->replaced)
        stolen += "\r\nCharacters that a tagline cannot hold became \"?\".";
    fw::ShowMessage(stolen);
}
