// The every-step runner (see FaultHarness.h).
#include "FaultHarness.h"

#include <filesystem>
#include <map>

#include "core/Tutil.h"
#include "core/Schema.h"
#include "core/Status.h"
#include "core/Table.h"
#include "taglinedb/TaglineSchema.h"

namespace idptest {

namespace {

using Files = std::map<std::string, std::vector<uint8_t>>;

Files Snapshot(const ScratchDir& dir) {
    Files files;
    for (const auto& e : std::filesystem::directory_iterator(dir.Dir()))
        files[e.path().filename().string()] = ReadFile(e.path().string());
    return files;
}

void Restore(const ScratchDir& dir, const Files& files) {
    for (const auto& e : std::filesystem::directory_iterator(dir.Dir()))
        std::filesystem::remove(e.path());
    for (const auto& [name, bytes] : files)
        WriteFile(dir.Path(name), bytes);
}

std::string Read(IdpCursor cursor) {
    char text[300] = {};
    idpGetString(cursor, 1, text, sizeof text, nullptr, nullptr);
    return text;
}

Reading ReadRows(const std::string& path, bool probe) {
    Reading r;
    IdpCursor cursor = nullptr;
    r.open = idpOpenTable(path.c_str(), IDP_OPEN_SHARED, &cursor);
    if (r.open != IDP_OK)
        return r;
    for (r.end = idpFirst(cursor); r.end == IDP_OK; r.end = idpNext(cursor))
        r.rows.push_back(Read(cursor));
    if (auto open = idp::Table::Find(path)) {
        r.invariants = open->CheckInvariants();
        r.indexes = open->Indexes().size();
    }
    if (probe) {
        r.change = idpAppend(cursor);
        if (r.change == IDP_OK)
            r.change = idpSetString(cursor, 1, "zz probe");
        if (r.change == IDP_OK)
            r.change = idpPost(cursor);
        if (r.change != IDP_OK)
            idpCancel(cursor);
    }
    IdpStatus closed = idpCloseTable(cursor);
    if (r.change == IDP_OK)
        r.change = closed;
    return r;
}

bool DamageReported(const Reading& r) {
    return r.open == IDP_ERR_DAMAGED || r.end == IDP_ERR_DAMAGED || r.change == IDP_ERR_DAMAGED;
}

// The rows a torn write may take with it: those of the table's blocks it was writing over,
// and those it meant to write there.
std::set<std::string> RowsUnderTear(const idp::os::fault::Tear* tear, const std::string& path,
                                    const Files& start) {
    std::set<std::string> rows;
    const std::string name = std::filesystem::path(path).filename().string();
    if (!tear || !idp::SameName(std::filesystem::path(tear->path).filename().string(), name))
        return rows;
    auto collect = [&rows](const uint8_t* bytes, size_t size) {
        const std::string text(reinterpret_cast<const char*>(bytes), size);
        for (size_t at = text.find("row "); at != std::string::npos; at = text.find("row ", at + 1))
            rows.insert(text.substr(at, text.find('\0', at) - at));
    };
    collect(tear->meant.data(), tear->meant.size());
    auto before = start.find(name);
    if (before != start.end() && tear->offset < before->second.size())
        collect(before->second.data() + tear->offset,
                std::min<size_t>(tear->meant.size(), before->second.size() - tear->offset));
    return rows;
}

// The promise: every committed row the operation does not take away is there, but for
// those a torn write may have taken, and nothing is there that neither was committed nor
// is the operation's.
void ExpectRowsKept(const std::set<std::string>& committed, const Effect& effect, const Reading& r,
                    bool complete, const std::set<std::string>& mayLose, const std::string& where) {
    std::set<std::string> seen;
    for (const std::string& row : r.rows) {
        EXPECT_TRUE(seen.insert(row).second) << where << "row twice: " << row;
        EXPECT_TRUE(committed.count(row) || effect.added.count(row))
            << where << "row from nowhere: " << row;
    }
    for (const std::string& row : committed) {
        EXPECT_TRUE(effect.removed.count(row) || seen.count(row) || mayLose.count(row))
            << where << "row lost: " << row;
    }
    if (effect.replaces) {
        bool kept = false;
        for (const std::set<std::string>* rows : {&effect.added, &effect.removed})
            for (const std::string& row : *rows)
                kept = kept || seen.count(row) || mayLose.count(row);
        EXPECT_TRUE(kept) << where << "the changed row is gone";
    }
    if (!complete)
        return;
    for (const std::string& row : effect.added)
        EXPECT_TRUE(seen.count(row)) << where << "row not added: " << row;
    for (const std::string& row : effect.removed) {
        EXPECT_TRUE(effect.added.count(row) || !seen.count(row))
            << where << "row not removed: " << row;
    }
}

std::string Stem(const std::string& dbPath) {
    return dbPath.substr(0, dbPath.size() - 3);
}

tutil::RebuildNames SideTables(const ScratchDir& dir) {
    return {dir.Path("Backup"), dir.Path("KeyViol"), dir.Path("Problem")};
}

// Damage the engine reports: verification must see it too, and the rebuild must give
// back every row the promise covers.
void ExpectRebuildMends(const ScratchDir& dir, const std::string& path,
                        const std::set<std::string>& committed, const Effect& effect,
                        const std::set<std::string>& mayLose, const std::string& where) {
    EXPECT_GT(tutil::VerifyTable(Stem(path), 0, nullptr).level, 0) << where;
    try {
        tutil::RebuildTable(Stem(path), SideTables(dir), true, nullptr);
    } catch (const idp::EngineError& e) {
        ADD_FAILURE() << where << "rebuild failed: " << e.what();
        return;
    }
    Reading r = ReadRows(path, false);
    EXPECT_EQ(IDP_OK, r.open) << where << LastError();
    ExpectRowsKept(committed, effect, r, false, mayLose, where + "after the rebuild: ");
}

} // namespace

std::string RowText(int i) {
    std::string n = std::to_string(i);
    return "row " + std::string(n.size() < 4 ? 4 - n.size() : 0, '0') + n;
}

void FillTagTable(const std::string& path, int count, bool withIndexes) {
    CreateTagTable(path, withIndexes);
    Table t(path, IDP_OPEN_EXCLUSIVE);
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(IDP_OK, t.Add(RowText(i))) << LastError();
}

IdpStatus AtRow(const std::string& path, int count,
                const std::function<IdpStatus(IdpCursor)>& what) {
    IdpCursor cursor = nullptr;
    IdpStatus s = idpOpenTable(path.c_str(), IDP_OPEN_SHARED, &cursor);
    if (s != IDP_OK)
        return s;
    s = idpFirst(cursor);
    for (int i = 0; i < count && s == IDP_OK; ++i)
        s = idpNext(cursor);
    if (s == IDP_OK)
        s = what(cursor);
    // The close's own status counts: its flush may be the write that fails.
    IdpStatus closed = idpCloseTable(cursor);
    return s != IDP_OK ? s : closed;
}

Reading ReadBack(const std::string& path) {
    return ReadRows(path, true);
}

int EveryStep(idp::os::fault::Mode mode, const Operation& op) {
    namespace fault = idp::os::fault;
    ScratchDir dir;
    op.setup(dir);
    const std::string path = dir.Path(op.table);
    Reading before = ReadRows(path, false);
    std::set<std::string> committed(before.rows.begin(), before.rows.end());
    std::vector<std::string> bystanderRows;
    if (!op.bystander.empty())
        bystanderRows = ReadRows(dir.Path(op.bystander), false).rows;
    const Files start = Snapshot(dir);
    int cuts = 0;
    for (long keep = 0; keep < 100000; ++keep) {
        Restore(dir, start);
        fault::Arm(mode, keep);
        IdpStatus s = op.run(dir);
        bool struck = fault::Struck();
        const std::set<std::string> mayLose = RowsUnderTear(fault::Torn(), path, start);
        fault::Disarm();
        std::string where = "after " + std::to_string(keep) + " steps: ";
        if (!struck) {
            EXPECT_EQ(IDP_OK, s) << where << LastError();
        } else if (mode == fault::Mode::Fail || mode == fault::Mode::FailOnce) {
            EXPECT_EQ(IDP_ERR_IO, s) << where << LastError();
        }
        Reading r = ReadBack(path);
        if (!op.fallback.empty() &&
            (r.open == IDP_ERR_NO_SUCH_TABLE || r.open == IDP_ERR_NOT_A_TABLE))
            r = ReadBack(dir.Path(op.fallback));
        if (DamageReported(r) && committed.empty() && op.effect.added.empty()) {
            // A table being made, its header half written: said plainly, and nothing lost.
            EXPECT_GT(tutil::VerifyTable(Stem(path), 0, nullptr).level, 0) << where;
        } else if (DamageReported(r)) {
            ExpectRebuildMends(dir, path, committed, op.effect, mayLose, where);
        } else if (op.effect.added.empty() && r.open != IDP_OK && committed.empty()) {
            // A table being made may be missing or not yet a table, said plainly.
            EXPECT_TRUE(r.open == IDP_ERR_NO_SUCH_TABLE || r.open == IDP_ERR_NOT_A_TABLE)
                << where << r.open;
        } else {
            EXPECT_EQ(IDP_OK, r.open) << where << LastError();
            EXPECT_EQ(IDP_ERR_EOF, r.end) << where << LastError();
            EXPECT_EQ("", r.invariants) << where;
            EXPECT_EQ(IDP_OK, r.change) << where << LastError();
            EXPECT_EQ(op.indexes ? op.indexes : before.indexes, r.indexes) << where;
            ExpectRowsKept(committed, op.effect, r, !struck, mayLose, where);
        }
        if (!op.bystander.empty()) {
            Reading other = ReadRows(dir.Path(op.bystander), false);
            EXPECT_EQ(IDP_OK, other.open) << where << LastError();
            EXPECT_EQ(bystanderRows, other.rows) << where << op.bystander;
        }
        if (!struck)
            return cuts;
        ++cuts;
        if (::testing::Test::HasFailure())
            return cuts; // one k's report is enough to go on
    }
    ADD_FAILURE() << "the operation never ended";
    return cuts;
}

namespace {

constexpr int kRows = 300; // 20 blocks of 15 rows
constexpr int kDeleteRun = 31;

IdpStatus Post(IdpCursor cursor, const std::string& text) {
    IdpStatus s = idpSetString(cursor, 1, text.c_str());
    if (s == IDP_OK)
        s = idpPost(cursor);
    if (s != IDP_OK)
        idpCancel(cursor);
    return s;
}

Operation OnTags(bool keyed) {
    Operation op;
    op.setup = [keyed](const ScratchDir& dir) { FillTagTable(dir.Path("Tags.db"), kRows, keyed); };
    return op;
}

// A post at a row: start is idpInsert, idpAppend or idpEdit.
Operation Posting(bool keyed, int at, IdpStatus (*start)(IdpCursor), const std::string& text) {
    Operation op = OnTags(keyed);
    op.run = [=](const ScratchDir& dir) {
        return AtRow(dir.Path("Tags.db"), at, [&](IdpCursor c) {
            IdpStatus s = start(c);
            return s == IDP_OK ? Post(c, text) : s;
        });
    };
    op.effect.added = {text};
    return op;
}

} // namespace

Operation PostInsert() {
    // Into the middle of a full block, which splits it.
    return Posting(true, 0, idpInsert, "row 0157a");
}

Operation PostAppendUnkeyed() {
    return Posting(false, 0, idpAppend, "row 9999");
}

Operation PostEdit() {
    // A new key, so the row moves from one block to another.
    Operation op = Posting(true, 100, idpEdit, "row 0250x");
    op.effect.removed = {RowText(100)};
    op.effect.replaces = true;
    return op;
}

Operation DeleteRow() {
    Operation op = OnTags(true);
    op.run = [](const ScratchDir& dir) {
        return AtRow(dir.Path("Tags.db"), 100, [](IdpCursor c) { return idpDelete(c); });
    };
    op.effect.removed = {RowText(100)};
    return op;
}

Operation DeleteRun() {
    Operation op = OnTags(true);
    // More rows than a block holds, so that at least one block leaves the chain.
    op.run = [](const ScratchDir& dir) {
        return AtRow(dir.Path("Tags.db"), 100, [](IdpCursor c) {
            IdpStatus s = IDP_OK;
            for (int i = 0; i < kDeleteRun && s == IDP_OK; ++i)
                s = idpDelete(c);
            return s;
        });
    };
    for (int i = 100; i < 100 + kDeleteRun; ++i)
        op.effect.removed.insert(RowText(i));
    return op;
}

Operation BatchMoveIn() {
    Operation op;
    op.setup = [](const ScratchDir& dir) {
        FillTagTable(dir.Path("Tags.db"), kRows);
        CreateTagTable(dir.Path("_temp.db"), false);
        Table temp(dir.Path("_temp.db"), IDP_OPEN_EXCLUSIVE);
        for (int i = 0; i < kRows; i += 2)
            ASSERT_EQ(IDP_OK, temp.Add(RowText(i) + "b"));
    };
    // Keys between the table's own, so that every block takes new rows.
    op.run = [](const ScratchDir& dir) {
        IdpCursor source = nullptr;
        IdpStatus s = idpOpenTable(dir.Path("_temp.db").c_str(), IDP_OPEN_SHARED, &source);
        if (s != IDP_OK)
            return s;
        IdpStatus moved = AtRow(dir.Path("Tags.db"), 0, [source](IdpCursor c) {
            IdpMoveCounts counts{};
            return idpBatchMove(source, c, IDP_MOVE_APPEND, nullptr, nullptr, nullptr, 0, 0,
                                &counts);
        });
        s = idpCloseTable(source);
        return moved != IDP_OK ? moved : s;
    };
    for (int i = 0; i < kRows; i += 2)
        op.effect.added.insert(RowText(i) + "b");
    op.bystander = "_temp.db";
    return op;
}

Operation RebuildInPlace() {
    Operation op = OnTags(true);
    op.run = [](const ScratchDir& dir) -> IdpStatus {
        try {
            tutil::RebuildTable(Stem(dir.Path("Tags.db")), SideTables(dir), true, nullptr);
        } catch (const idp::EngineError& e) {
            return e.Status();
        }
        return IDP_OK;
    };
    op.fallback = "Backup.db";
    return op;
}

Operation CreateBeside() {
    Operation op = OnTags(true);
    op.run = [](const ScratchDir& dir) {
        return idpCreateTable(dir.Path("Other.db").c_str(), tagline::kFieldCount, tagline::kFields,
                              tagline::kIndexCount, tagline::kIndexes);
    };
    op.table = "Other.db";
    op.indexes = tagline::kIndexCount;
    op.bystander = "Tags.db";
    return op;
}

} // namespace idptest
