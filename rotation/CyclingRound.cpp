// The shuffle's round in the main window: the rows named by their Record numbers and
// looked up in Record order, and the round kept in its file.
#include "rotation/CyclingRound.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"
#include "framework/Strings.h"

#include <windows.h>

#include <algorithm>

namespace {

// One bit a Record number: 16 MB holds the round of a table far larger than any tagline
// table; a larger file is no round of ours.
constexpr DWORD kMaxRoundFile = 16u << 20;

// The table's name in its round: its full path in lower case, as Windows compares names.
std::string TableKey(const std::string& path) {
    char full[2 * MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return fw::LowerCase(n > 0 && n < sizeof full ? std::string(full, n) : path);
}

} // namespace

void TCyclingRound::TFileCloser::operator()(void* handle) const {
    CloseHandle(handle);
}

TCyclingRound::TCyclingRound(const std::string& fileName) {
    HANDLE h = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE)
        file_.reset(h);
}

TCyclingRound::~TCyclingRound() = default;

// The whole file; empty (a new round) when there is none to read or it is too large.
std::string TCyclingRound::Read() {
    LARGE_INTEGER size{};
    if (!file_ || !GetFileSizeEx(file_.get(), &size))
        return {};
    fileSize_ = static_cast<size_t>(size.QuadPart);
    if (size.QuadPart > kMaxRoundFile || SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) != 0)
        return {};
    std::string bytes(fileSize_, '\0');
    DWORD got = 0;
    if (!ReadFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        return {};
    bytes.resize(got);
    return bytes;
}

// A file that cannot be written leaves the round in memory for this run only: the side
// files, saved to the same folder, say what is wrong.
void TCyclingRound::Keep() {
    const std::string bytes = kept_->Bytes();
    DWORD written = 0;
    if (!file_ || SetFilePointer(file_.get(), 0, nullptr, FILE_BEGIN) != 0 ||
        !WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return;
    // The file is cut only when the round shrank, as when another table's round is kept.
    if (bytes.size() < fileSize_)
        SetEndOfFile(file_.get());
    fileSize_ = bytes.size();
}

rules::TShuffleRound& TCyclingRound::Round(const std::string& table, bool keep) {
    if (!kept_ || kept_->Table() != table)
        kept_ = rules::TShuffleRound::FromBytes(Read(), table);
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
        Keep();
}
