// Opening, creating, deleting and describing tables: one Table object per file in this
// process, shared by its cursors and found again by the file's identity.
#include "Table.h"

#include <algorithm>
#include <map>

#include "../idapi.h"
#include "PrimaryIndex.h"
#include "Status.h"
#include "TablePath.h"
#include "TextFold.h"

namespace idp {

namespace {

std::map<std::string, std::weak_ptr<Table>>& Registry() {
    static std::map<std::string, std::weak_ptr<Table>> registry;
    return registry;
}

// Whether a file's header makes it a Paradox table, whole or damaged. A file that cannot
// be read (held locked by another program) is taken for one, so that a guess loses nothing.
bool HoldsTable(const std::string& path) {
    try {
        TableHeader header;
        std::vector<IndexDef> indexes;
        Table::Describe(path, header, indexes);
    } catch (const EngineError& e) {
        return e.Status() != IDP_ERR_NOT_A_TABLE && e.Status() != IDP_ERR_NO_SUCH_TABLE;
    }
    return true;
}

// Another table whose companion files bear the same names as those of dbPath (the same
// name with another extension: "Tags.txt" beside "Tags.db"), or "" when there is none.
std::string TableSharingCompanions(const std::string& dbPath) {
    const std::string dir = DirectoryOf(dbPath);
    const std::string file = FileOf(dbPath);
    const std::string stem = FoldCase(file.substr(0, file.find_last_of('.')));
    const std::vector<std::string> companions = ExistingCompanions(dbPath);
    for (const std::string& name : os::ListFiles(dir)) {
        const std::string path = dir + name;
        if (FoldCase(name.substr(0, name.find_last_of('.'))) != stem ||
            os::FileKey(path) == os::FileKey(dbPath) ||
            std::find(companions.begin(), companions.end(), path) != companions.end())
            continue;
        if (HoldsTable(path))
            return path;
    }
    return {};
}

} // namespace

std::shared_ptr<Table> Table::Find(const std::string& dbPath) {
    auto it = Registry().find(os::FileKey(dbPath));
    return it == Registry().end() ? nullptr : it->second.lock();
}

Table::Table(std::string path, os::File file, bool exclusive)
    : path_(std::move(path)), file_(std::move(file)), exclusive_(exclusive) {}

Table::~Table() {
    try {
        Flush(true);
    } catch (const EngineError&) {
        // Close reports write failures before the last cursor lets go; here nothing can.
    }
    auto it = Registry().find(os::FileKey(path_));
    if (it != Registry().end() && it->second.expired())
        Registry().erase(it);
}

std::shared_ptr<Table> Table::Open(const std::string& dbPath, bool exclusive) {
    if (auto open = Find(dbPath)) {
        if (exclusive || open->exclusive_)
            throw EngineError(IDP_ERR_LOCKED, "Table: " + dbPath);
        return open;
    }
    os::Lock lock = exclusive ? os::Lock::Exclusive : os::Lock::Shared;
    os::File file = os::File::Open(dbPath, true, lock);
    std::shared_ptr<Table> table(new Table(dbPath, std::move(file), exclusive));
    table->Load();
    Registry()[os::FileKey(dbPath)] = table;
    return table;
}

void Table::Create(const std::string& dbPath, Schema schema, std::vector<IndexDef> indexes) {
    if (Find(dbPath))
        throw EngineError(IDP_ERR_LOCKED, "Table: " + dbPath);
    uint32_t offset = 0;
    for (Field& f : schema.fields) {
        f.offset = static_cast<uint16_t>(offset);
        offset += f.width;
    }
    schema.recordSize = static_cast<uint16_t>(offset);
    // Its index and memo files would replace those of the other table.
    if (const std::string other = TableSharingCompanions(dbPath); !other.empty())
        throw EngineError(IDP_ERR_ACCESS, "Table: " + dbPath + "\r\n" + other +
                                              " is a table of the same name, whose index "
                                              "files it would replace; nothing was created.");
    TableHeader header = NewHeader(schema, FileOf(dbPath));
    StoreCounts(header);
    // The header goes last: until it is written the file is empty, not a table, so a
    // failure part way never leaves a table that opens without its indexes.
    os::File file = os::File::Create(dbPath, os::Lock::Exclusive);
    for (const std::string& companion : ExistingCompanions(dbPath))
        os::RemoveFile(companion);
    if (schema.Keyed()) {
        std::vector<uint8_t> px = BuildPrimaryIndex(header.schema, {});
        os::File pxFile = os::File::Create(CompanionPath(dbPath, "PX"), os::Lock::Exclusive);
        pxFile.WriteAt(0, px.data(), px.size());
    }
    SaveIndexes(CompanionPath(dbPath, "QIX"), header.schema, indexes);
    file.WriteAt(0, header.raw.data(), header.raw.size());
}

void Table::Delete(const std::string& dbPath) {
    if (Find(dbPath))
        throw EngineError(IDP_ERR_LOCKED, "Table: " + dbPath);
    if (!os::FileExists(dbPath))
        throw EngineError(IDP_ERR_NO_SUCH_TABLE, "Table: " + dbPath);
    // A name that leads to any other file (a text file chosen by mistake) deletes nothing.
    if (!HoldsTable(dbPath))
        throw EngineError(IDP_ERR_NOT_A_TABLE, "File: " + dbPath + "\r\nNothing was deleted.");
    // All files or none: a read-only one found after the others went would leave a
    // table without its data or indexes behind. Companions that another table of the same
    // name may own stay.
    std::vector<std::string> files;
    if (TableSharingCompanions(dbPath).empty())
        files = ExistingCompanions(dbPath);
    files.insert(files.begin(), dbPath);
    for (const std::string& file : files)
        if (os::IsReadOnly(file))
            throw EngineError(IDP_ERR_ACCESS,
                              "File: " + file + " is read-only; nothing was deleted.");
    for (const std::string& file : files)
        os::RemoveFile(file);
}

void Table::Describe(const std::string& dbPath, TableHeader& header,
                     std::vector<IndexDef>& indexes) {
    if (auto open = Find(dbPath)) {
        header = open->header_;
        header.numRecords = open->rows_;
        indexes = open->indexes_;
        return;
    }
    os::File file = os::File::Open(dbPath, false, os::Lock::None);
    header = ReadHeader(file, dbPath);
    indexes = LoadIndexes(CompanionPath(dbPath, "QIX"), header.schema);
}

uint32_t Table::CountRows(const std::string& dbPath) {
    if (auto open = Find(dbPath))
        return open->rows_;
    Table probe(dbPath, os::File::Open(dbPath, false, os::Lock::None), false);
    probe.Load();
    return probe.rows_;
}

void Table::CheckWritable() {
    if (broken_)
        throw EngineError(IDP_ERR_IO,
                          "Table: " + path_ +
                              "\r\nAn earlier write failed; close and reopen the table.");
    // Changes need every block's header checked against the table, the highest
    // autoincrement value in the rows and, of a keyed table, the key order: the first
    // change reads the whole file for them, which opening for a lookup need not, and the
    // rows it brings stay for the changes after it.
    const bool keyed = header_.schema.Keyed();
    if (!verified_ || !autoIncKnown_ || (keyed && !keyOrderChecked_))
        ReadWhole();
    if (keyed && !keyOrderChecked_)
        VerifyKeyOrder();
    if (damaged_)
        ThrowDamaged(path_, "Rebuild the table before changing it.");
}

int32_t Table::NextAutoInc() {
    if (!autoIncKnown_)
        ReadWhole();
    if (header_.autoInc == 0x7FFFFFFF)
        throw EngineError(IDP_ERR_TABLE_FULL, "Table: " + path_);
    modified_ = true;
    return ++header_.autoInc;
}

std::string Table::ReadBlob(const uint8_t* field, const Field& f) {
    if (!blobs_)
        blobs_ = std::make_unique<BlobFile>(CompanionPath(path_, "MB"));
    return blobs_->Read(field, f);
}

} // namespace idp
