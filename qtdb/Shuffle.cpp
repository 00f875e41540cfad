// The shuffle's round over the engine's cursor, kept in the user's folder as
// "round-<hash of the table's path>.bin"; the file names its table, so two tables whose
// names hash alike only start each other's rounds anew.
#include "qtdb/Shuffle.h"

#include "framework/rules/ShuffleRound.h"
#include "qtdb/Engine.h"
#include "qtdb/UserFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace qtdb {

namespace {

namespace fs = std::filesystem;

// The table's name in its round: its full path with the extension the engine assumes,
// in lower case where file names ignore case.
std::string TableKey(const std::string& table) {
    fs::path path = fs::absolute(table);
    if (!path.has_extension())
        path += ".db";
    std::error_code ec;
    const fs::path full = fs::weakly_canonical(path, ec);
    std::string key = (ec ? path : full).string();
#ifdef _WIN32
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
#endif
    return key;
}

// Two bits a Record number: a larger file is no round of ours.
constexpr size_t kMaxRoundFile = 16u << 20;

fs::path RoundFile(const std::string& key) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : key)
        h = (h ^ c) * 1099511628211ull;
    char name[32];
    std::snprintf(name, sizeof name, "round-%016llx.bin", static_cast<unsigned long long>(h));
    return UserFolder() / name;
}

class TCursorTable : public rules::TShuffleTable {
  public:
    explicit TCursorTable(Cursor& rows) : rows_(rows) {}
    std::uint32_t RowCount() override { return rows_.RecordCount(); }
    bool OrderByRecord() override {
        return idpFindField(rows_.Handle(), "Record", &field_) == IDP_OK &&
               idpSetIndexByFields(rows_.Handle(), "Record") == IDP_OK;
    }
    std::uint32_t LastRecord() override {
        rows_.Check(idpLast(rows_.Handle()));
        int32_t last = 0;
        rows_.Check(idpGetInteger(rows_.Handle(), field_, &last, nullptr));
        return static_cast<std::uint32_t>(std::max(0, last));
    }
    bool GoToRecord(std::uint32_t number) override {
        rows_.Check(idpSetKey(rows_.Handle()));
        rows_.Check(idpSetInteger(rows_.Handle(), field_, static_cast<int32_t>(number)));
        uint16_t found = 0;
        rows_.Check(idpGotoKey(rows_.Handle(), &found));
        return found != 0;
    }
    void GoToPlace(std::uint32_t place) override {
        rows_.Check(idpSetSeqNo(rows_.Handle(), place));
    }

  private:
    Cursor& rows_;
    uint16_t field_ = 0;
};

} // namespace

void ShuffleTo(Cursor& rows, std::uint32_t seed) {
    const std::string key = TableKey(rows.Table());
    const fs::path file = RoundFile(key);
    rules::TShuffleRound round =
        rules::TShuffleRound::FromBytes(ReadUserFile(file, kMaxRoundFile), key);
    TCursorTable table(rows);
    round.Move(seed, table);
    ReplaceUserFile(file, round.Bytes());
}

} // namespace qtdb
