// The shuffle's round in the main window: the rows named by their Record numbers and
// looked up in Record order, and the round kept in its file.
#include "rotation/CyclingRound.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"
#include "framework/Strings.h"
#include "framework/TextFiles.h"

#include <windows.h>

#include <algorithm>

namespace {

// Two bits a Record number: 16 MB holds the round of a table far larger than any
// tagline table; a larger file is no round of ours.
constexpr unsigned long long kMaxRoundFile = 16ull << 20;

// The table's name in its round: its full path in lower case, as Windows compares names.
std::string TableKey(const std::string& path) {
    char full[2 * MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return fw::LowerCase(n > 0 && n < sizeof full ? std::string(full, n) : path);
}

// Replaces the file whole through a temporary one renamed into place. A folder that
// cannot be written leaves the round in memory for this run only: the side files, saved
// to the same folder, say what is wrong.
void Keep(const std::string& fileName, const rules::TShuffleRound& round) {
    const std::string temporary = fileName + ".new";
    try {
        fw::WriteWholeFile(temporary, round.Bytes());
    } catch (const fw::EFileError&) {
        return;
    }
    if (!MoveFileExA(temporary.c_str(), fileName.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileA(temporary.c_str());
}

} // namespace

rules::TShuffleRound& TCyclingRound::Round(const std::string& table, bool keep) {
    if (!kept_ || kept_->Table() != table) {
        std::string bytes;
        try {
            bytes = fw::ReadSharedFile(fileName_, kMaxRoundFile);
        } catch (const fw::EFileError&) {
            // No round kept, or none readable: a new round begins.
        }
        kept_ = rules::TShuffleRound::FromBytes(bytes, table);
    }
    if (keep) {
        demo_.reset();
        return *kept_;
    }
    if (!demo_ || demo_->Table() != table)
        demo_ = kept_;
    return *demo_;
}

namespace {

// The tagline table as a round moves through it.
class TRoundTable : public rules::TShuffleTable {
  public:
    explicit TRoundTable(fw::TTable& table) : table_(table) {}
    std::uint32_t RowCount() override { return static_cast<std::uint32_t>(table_.RecordCount()); }
    bool OrderByRecord() override {
        try {
            table_.SetIndexFieldNames("Record");
            return true;
        } catch (const fw::EDatabaseError&) {
            return false;
        }
    }
    std::uint32_t LastRecord() override {
        table_.Last();
        return static_cast<std::uint32_t>(std::max(0, table_.FieldByName("Record").AsInteger()));
    }
    bool GoToRecord(std::uint32_t number) override {
        table_.SetKey();
        table_.FieldByName("Record").SetAsInteger(static_cast<int>(number));
        return table_.GotoKey();
    }
    void GoToPlace(std::uint32_t place) override { table_.SetRecNo(static_cast<int>(place)); }

  private:
    fw::TTable& table_;
};

} // namespace

void TCyclingRound::Next(fw::TTable& table, std::uint32_t seed, bool keep) {
    if (table.RecordCount() <= 0)
        return;
    rules::TShuffleRound& round = Round(TableKey(table.TablePath()), keep);
    {
        // The controls follow once, to the row the round chose, not to every row looked up.
        fw::TControlsHeld held(table);
        TRoundTable rows(table);
        round.Move(seed, rows);
    }
    if (keep)
        Keep(fileName_, round);
}
