// The C API of idapi.h over the engine: handle checks, conversion of engine failures to
// statuses (remembering the last failure's full text), and copying results out.
#include <cstring>
#include <new>
#include <set>

#include "../idapi.h"
#include "BatchMove.h"
#include "CodePage.h"
#include "Cursor.h"
#include "FileLayout.h"
#include "Session.h"
#include "Status.h"
#include "Table.h"
#include "TablePath.h"

struct IdpCursorRec {
    std::unique_ptr<idp::Cursor> cursor;
};
struct IdpTableListRec {
    std::vector<IdpTableListEntry> entries;
    size_t next = 0;
};

namespace {

using namespace idp;

IdpStatus lastStatus = IDP_OK;
std::string lastText;
std::set<IdpCursorRec*> liveCursors;
std::set<IdpTableListRec*> liveLists;

template <class F> IdpStatus Guard(F&& f) {
    try {
        try {
            f();
        } catch (const StructureChanged&) {
            f(); // the table now has its blocks from their own headers
        }
        return IDP_OK;
    } catch (const StructureChanged&) {
        lastStatus = IDP_ERR_DAMAGED;
        lastText = StatusText(IDP_ERR_DAMAGED);
    } catch (const EngineError& e) {
        lastStatus = e.Status();
        lastText = e.what();
    } catch (const std::bad_alloc&) {
        lastStatus = IDP_ERR_NO_MEMORY;
        lastText = StatusText(IDP_ERR_NO_MEMORY);
    } catch (const std::exception& e) {
        lastStatus = IDP_ERR_IO;
        lastText = StatusText(IDP_ERR_IO) + "\r\n" + e.what();
    }
    return lastStatus;
}

void Require(bool ok, IdpStatus status = IDP_ERR_BAD_PARAM) {
    if (!ok)
        throw EngineError(status);
}

Cursor& C(IdpCursor cursor) {
    Require(cursor && liveCursors.count(cursor), IDP_ERR_BAD_HANDLE);
    return *cursor->cursor;
}

Session* S(IdpSession session) {
    Session* s = session ? reinterpret_cast<Session*>(session) : Sessions::Instance().Default();
    Require(Sessions::Instance().IsLive(s), IDP_ERR_BAD_HANDLE);
    return s;
}

Database* D(IdpDatabase database) {
    Database* d = reinterpret_cast<Database*>(database);
    Require(d && Sessions::Instance().IsLive(d), IDP_ERR_BAD_HANDLE);
    return d;
}

std::string Text(const char* s) {
    Require(s != nullptr);
    return s;
}

// Copies text out; a value that does not fit is cut and reported.
void CopyOut(const std::string& value, char* buffer, size_t size) {
    Require(buffer && size > 0);
    size_t n = value.size() < size - 1 ? value.size() : size - 1;
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    if (n < value.size())
        throw EngineError(IDP_ERR_BUFFER_SMALL);
}

void FillFieldDesc(const Field& f, IdpFieldDesc& d) {
    d = {};
    std::strncpy(d.name, f.name.c_str(), IDP_MAX_NAME - 1);
    d.type = f.type;
    d.size = f.size;
    d.required = f.required ? 1 : 0;
}

void FillIndexDesc(const IndexDef& i, IdpIndexDesc& d) {
    d = {};
    std::strncpy(d.name, i.name.c_str(), IDP_MAX_NAME - 1);
    std::strncpy(d.fields, i.fieldText.c_str(), IDP_MAX_PATH - 1);
    d.options = i.options;
}

std::string TablePathOf(const char* path) {
    std::string p = Text(path);
    Require(!p.empty());
    return TableFilePath(p);
}

} // namespace

static_assert(offsetof(IdpTableListEntry, recordCount) == 618, "table list layout");
static_assert(offsetof(IdpTableListEntry, infoValid) == 624, "table list layout");

extern "C" {

IdpStatus idpGetErrorText(IdpStatus status, char* buffer, uint16_t size) {
    return Guard([&] {
        std::string text = StatusText(status);
        Require(buffer && size > 0);
        std::strncpy(buffer, text.c_str(), size - 1u);
        buffer[size - 1] = '\0';
    });
}

IdpStatus idpGetLastError(IdpStatus* status, char* buffer, uint16_t size) {
    IdpStatus saved = lastStatus;
    std::string text = lastText.empty() ? StatusText(saved) : lastText;
    if (status)
        *status = saved;
    if (!buffer || size == 0)
        return IDP_ERR_BAD_PARAM;
    std::strncpy(buffer, text.c_str(), size - 1u);
    buffer[size - 1] = '\0';
    return IDP_OK;
}

IdpStatus idpGetDefaultSession(IdpSession* session) {
    return Guard([&] {
        Require(session);
        *session = reinterpret_cast<IdpSession>(Sessions::Instance().Default());
    });
}

IdpStatus idpGetSessionCount(uint16_t* count) {
    return Guard([&] {
        Require(count);
        *count = static_cast<uint16_t>(Sessions::Instance().Count());
    });
}

IdpStatus idpGetSessionInfo(uint16_t index, char* name, uint16_t nameSize, uint16_t* openDatabases,
                            IdpSession* session) {
    return Guard([&] {
        Session* s = Sessions::Instance().At(index);
        Require(s != nullptr, IDP_ERR_NOT_FOUND);
        if (openDatabases)
            *openDatabases = s->openDatabases;
        if (session)
            *session = reinterpret_cast<IdpSession>(s);
        if (name)
            CopyOut(s->name, name, nameSize);
    });
}

IdpStatus idpOpenSession(const char* name, IdpSession* session) {
    return Guard([&] {
        std::string n = Text(name);
        Require(!n.empty() && session);
        *session = reinterpret_cast<IdpSession>(Sessions::Instance().OpenNamed(n));
    });
}

IdpStatus idpGetActiveSession(IdpSession* session) {
    return Guard([&] {
        Require(session);
        *session = reinterpret_cast<IdpSession>(Sessions::Instance().Active());
    });
}

IdpStatus idpSetActiveSession(IdpSession session) {
    return Guard([&] { Sessions::Instance().SetActive(S(session)); });
}

IdpStatus idpGetPrivateDir(IdpSession session, char* buffer, uint16_t size) {
    return Guard([&] { CopyOut(Sessions::Instance().PrivateDir(S(session)), buffer, size); });
}

IdpStatus idpSetPrivateDir(IdpSession session, const char* directory) {
    return Guard([&] {
        std::string dir = Text(directory);
        Require(!dir.empty());
        if (!os::DirectoryExists(dir))
            throw EngineError(IDP_ERR_NOT_FOUND, "Directory: " + dir);
        if (!os::IsSeparator(dir.back()))
            dir += os::Separator();
        S(session)->privateDir = dir;
    });
}

IdpStatus idpAddPassword(IdpSession session, const char* password) {
    return Guard([&] { S(session)->passwords.push_back(Text(password)); });
}

IdpStatus idpDropPassword(IdpSession session, const char* password) {
    return Guard([&] {
        std::string p = Text(password);
        auto& list = S(session)->passwords;
        for (auto it = list.begin(); it != list.end(); ++it)
            if (*it == p) {
                list.erase(it);
                break;
            }
    });
}

IdpStatus idpOpenDatabase(IdpSession session, const char* directory, IdpDatabase* database,
                          char* locale, uint16_t localeSize) {
    return Guard([&] {
        Require(database);
        Database* d = Sessions::Instance().OpenDatabase(S(session), Text(directory));
        *database = reinterpret_cast<IdpDatabase>(d);
        if (locale)
            CopyOut(CodePageName(kAnsiCodePage), locale, localeSize);
    });
}

IdpStatus idpCloseDatabase(IdpDatabase database) {
    return Guard([&] { Sessions::Instance().CloseDatabase(D(database)); });
}

IdpStatus idpToNative(IdpDatabase database, const char* text, char* buffer, uint16_t size) {
    return Guard([&] {
        D(database);
        // A database's native character set is the program's own: the text passes as is.
        CopyOut(Text(text), buffer, size);
    });
}

IdpStatus idpOpenTableList(IdpDatabase database, const char* pattern, uint16_t extended,
                           uint16_t systemTables, IdpTableList* list) {
    (void)systemTables; // the engine keeps no system tables of its own
    return Guard([&] {
        Require(list);
        Database* d = D(database);
        auto rec = std::make_unique<IdpTableListRec>();
        rec->entries = ListTables(d->directory, pattern ? pattern : "", extended != 0);
        *list = rec.release();
        liveLists.insert(*list);
    });
}

IdpStatus idpReadTableList(IdpTableList list, IdpTableListEntry* entry) {
    return Guard([&] {
        Require(list && liveLists.count(list), IDP_ERR_BAD_HANDLE);
        Require(entry);
        if (list->next >= list->entries.size())
            throw EngineError(IDP_ERR_EOF);
        *entry = list->entries[list->next++];
    });
}

IdpStatus idpCloseTableList(IdpTableList list) {
    return Guard([&] {
        Require(list && liveLists.erase(list), IDP_ERR_BAD_HANDLE);
        delete list;
    });
}

IdpStatus idpRegisterCallback(IdpCursor cursor, uint16_t type, uintptr_t clientData,
                              uint16_t bufferSize, void* buffer, IdpCallback fn) {
    return Guard([&] {
        Require(cursor == nullptr);
        Require(!fn || (buffer && bufferSize > 0));
        Sessions::Instance().RegisterCallback(type, {clientData, bufferSize, buffer, fn});
    });
}

IdpStatus idpGetCallback(uint16_t type, uintptr_t* clientData, uint16_t* bufferSize, void** buffer,
                         IdpCallback* fn) {
    return Guard([&] {
        const CallbackRegistration* r = Sessions::Instance().Callback(type);
        if (!r)
            throw EngineError(IDP_ERR_NOT_FOUND, "Callback type: " + std::to_string(type));
        if (clientData)
            *clientData = r->clientData;
        if (bufferSize)
            *bufferSize = r->bufferSize;
        if (buffer)
            *buffer = r->buffer;
        if (fn)
            *fn = r->fn;
    });
}

IdpStatus idpCreateTable(const char* path, uint16_t fieldCount, const IdpFieldDesc* fields,
                         uint16_t indexCount, const IdpIndexDesc* indexes) {
    return Guard([&] {
        std::string dbPath = TablePathOf(path);
        Require(fieldCount > 0 && fields && (indexCount == 0 || indexes));
        auto bad = [&](const std::string& why) {
            throw EngineError(IDP_ERR_BAD_DESCRIPTION, "Table: " + dbPath + "\r\n" + why);
        };
        Schema schema;
        for (uint16_t i = 0; i < fieldCount; ++i) {
            Field f;
            f.name = std::string(fields[i].name, strnlen(fields[i].name, IDP_MAX_NAME));
            f.type = static_cast<uint8_t>(fields[i].type);
            f.size = fields[i].size;
            f.required = fields[i].required != 0;
            f.width = fields[i].type <= 0xFF ? FieldWidth(f.type, f.size) : 0;
            if (f.name.empty() || f.name.size() > 25 || f.width == 0)
                bad("Field " + std::to_string(i + 1) + " cannot be created.");
            if (schema.Find(f.name) >= 0)
                bad("Field " + f.name + " appears twice.");
            f.size = DescribedSize(f.type, f.size);
            schema.fields.push_back(f);
        }
        uint32_t recordSize = 0;
        for (const Field& f : schema.fields)
            recordSize += f.width;
        schema.blockSize = 4096;
        if (recordSize > schema.blockSize - layout::kBlockHeader)
            bad("The record is too long.");
        schema.recordSize = static_cast<uint16_t>(recordSize);
        std::vector<IndexDef> defs;
        for (uint16_t i = 0; i < indexCount; ++i) {
            IndexDef d;
            d.name = std::string(indexes[i].name, strnlen(indexes[i].name, IDP_MAX_NAME));
            d.fieldText = std::string(indexes[i].fields, strnlen(indexes[i].fields, IDP_MAX_PATH));
            d.options = indexes[i].options;
            if (!d.Expression() && !ResolveFields(schema, d.fieldText, d.fields))
                bad("Index " + d.name + " names a field the table lacks.");
            if (d.Primary()) {
                if (schema.Keyed() || d.Expression() || d.Descending())
                    bad("Index " + d.name + " cannot be the primary index.");
                for (size_t k = 0; k < d.fields.size(); ++k)
                    if (d.fields[k] != static_cast<int>(k))
                        bad("A primary index must be over the first fields, in order.");
                schema.keyFields = static_cast<uint16_t>(d.fields.size());
                defs.insert(defs.begin(), d);
            } else {
                defs.push_back(d);
            }
        }
        // A .PX block must hold at least two index records.
        if (schema.Keyed() && (schema.KeySize() + layout::kIndexTrailer) * 2 >
                                  schema.blockSize - layout::kBlockHeader)
            bad("The primary key is too long.");
        Table::Create(dbPath, schema, defs);
    });
}

IdpStatus idpDeleteTable(const char* path) {
    return Guard([&] { Table::Delete(TablePathOf(path)); });
}

IdpStatus idpDescribeTable(const char* path, IdpFieldDesc* fields, uint16_t fieldCapacity,
                           uint16_t* fieldCount, IdpIndexDesc* indexes, uint16_t indexCapacity,
                           uint16_t* indexCount) {
    return Guard([&] {
        TableHeader h;
        std::vector<IndexDef> defs;
        Table::Describe(TablePathOf(path), h, defs);
        const auto& fs = h.schema.fields;
        if (fieldCount)
            *fieldCount = static_cast<uint16_t>(fs.size());
        if (indexCount)
            *indexCount = static_cast<uint16_t>(defs.size());
        for (size_t i = 0; fields && i < fs.size() && i < fieldCapacity; ++i)
            FillFieldDesc(fs[i], fields[i]);
        for (size_t i = 0; indexes && i < defs.size() && i < indexCapacity; ++i)
            FillIndexDesc(defs[i], indexes[i]);
    });
}

IdpStatus idpGetTableProps(const char* path, IdpTableProps* props) {
    return Guard([&] {
        Require(props);
        TableHeader h;
        std::vector<IndexDef> defs;
        Table::Describe(TablePathOf(path), h, defs);
        const Schema& s = h.schema;
        *props = {};
        std::strcpy(props->tableType, "Paradox");
        std::strncpy(props->locale, CodePageName(s.codePage).c_str(), IDP_MAX_NAME - 1);
        props->version = s.version >= 0x0C ? 7 : s.version >= 0x0A ? 5 : s.version >= 5 ? 4 : 3;
        props->fieldCount = static_cast<uint16_t>(s.fields.size());
        props->recordSize = s.recordSize;
        props->keyFields = s.keyFields;
        props->keySize = s.KeySize();
        props->indexCount = static_cast<uint16_t>(defs.size());
        props->blockSize = s.blockSize;
        props->auxPasswords = h.auxPasswords;
        props->passwordProtected = h.encrypted ? 1 : 0;
        props->codePage = s.codePage;
        props->changeCount = h.changeCount;
        props->recordCount = static_cast<int32_t>(h.numRecords);
    });
}

IdpStatus idpGetRowCount(const char* path, uint32_t* count) {
    return Guard([&] {
        Require(count);
        *count = Table::CountRows(TablePathOf(path));
    });
}

IdpStatus idpOpenTable(const char* path, uint16_t mode, IdpCursor* cursor) {
    return Guard([&] {
        Require(cursor && mode <= IDP_OPEN_EXCLUSIVE);
        auto table = Table::Open(TablePathOf(path), mode == IDP_OPEN_EXCLUSIVE);
        auto rec = std::make_unique<IdpCursorRec>();
        rec->cursor = std::make_unique<Cursor>(std::move(table));
        *cursor = rec.release();
        liveCursors.insert(*cursor);
    });
}

IdpStatus idpCloseTable(IdpCursor cursor) {
    return Guard([&] {
        Cursor& c = C(cursor);
        liveCursors.erase(cursor);
        std::unique_ptr<IdpCursorRec> owned(cursor);
        c.Close();
    });
}

IdpStatus idpGetFieldCount(IdpCursor cursor, uint16_t* count) {
    return Guard([&] {
        Require(count);
        *count = static_cast<uint16_t>(C(cursor).GetTable().GetSchema().fields.size());
    });
}

IdpStatus idpGetFieldDesc(IdpCursor cursor, uint16_t fieldNo, IdpFieldDesc* desc) {
    return Guard([&] {
        Require(desc);
        FillFieldDesc(C(cursor).FieldAt(fieldNo), *desc);
    });
}

IdpStatus idpFindField(IdpCursor cursor, const char* name, uint16_t* fieldNo) {
    return Guard([&] {
        Require(fieldNo);
        std::string n = Text(name);
        int i = C(cursor).GetTable().GetSchema().Find(n);
        if (i < 0)
            throw EngineError(IDP_ERR_NO_SUCH_FIELD, "Field: " + n);
        *fieldNo = static_cast<uint16_t>(i + 1);
    });
}

IdpStatus idpSetIndexByName(IdpCursor cursor, const char* indexName) {
    return Guard([&] { C(cursor).SetIndexByName(indexName ? indexName : ""); });
}

IdpStatus idpSetIndexByFields(IdpCursor cursor, const char* fieldNames) {
    return Guard([&] { C(cursor).SetIndexByFields(fieldNames ? fieldNames : ""); });
}

IdpStatus idpGetCurrentIndex(IdpCursor cursor, IdpIndexDesc* desc) {
    return Guard([&] {
        Require(desc);
        const IndexDef* d = C(cursor).CurrentIndex();
        *desc = {};
        if (d)
            FillIndexDesc(*d, *desc);
    });
}

IdpStatus idpSetFileOrder(IdpCursor cursor) {
    return Guard([&] { C(cursor).SetFileOrder(); });
}

IdpStatus idpFirst(IdpCursor cursor) {
    return Guard([&] {
        if (!C(cursor).First())
            throw EngineError(IDP_ERR_EOF);
    });
}

IdpStatus idpLast(IdpCursor cursor) {
    return Guard([&] {
        if (!C(cursor).Last())
            throw EngineError(IDP_ERR_EOF);
    });
}

IdpStatus idpNext(IdpCursor cursor) {
    return Guard([&] {
        if (!C(cursor).Next())
            throw EngineError(IDP_ERR_EOF);
    });
}

IdpStatus idpPrior(IdpCursor cursor) {
    return Guard([&] {
        if (!C(cursor).Prior())
            throw EngineError(IDP_ERR_BOF);
    });
}

IdpStatus idpGetEof(IdpCursor cursor, uint16_t* eof, uint16_t* bof) {
    return Guard([&] {
        Cursor& c = C(cursor);
        if (eof)
            *eof = c.Eof() ? 1 : 0;
        if (bof)
            *bof = c.Bof() ? 1 : 0;
    });
}

IdpStatus idpGetRecordCount(IdpCursor cursor, uint32_t* count) {
    return Guard([&] {
        Require(count);
        *count = C(cursor).GetTable().RowCount();
    });
}

IdpStatus idpGetSeqNo(IdpCursor cursor, uint32_t* seqNo) {
    return Guard([&] {
        Require(seqNo);
        *seqNo = C(cursor).SeqNo();
    });
}

IdpStatus idpSetSeqNo(IdpCursor cursor, uint32_t seqNo) {
    return Guard([&] { C(cursor).SetSeqNo(seqNo); });
}

IdpStatus idpRefresh(IdpCursor cursor) {
    return Guard([&] { C(cursor).Refresh(); });
}

IdpStatus idpGetState(IdpCursor cursor, uint16_t* state) {
    return Guard([&] {
        Require(state);
        *state = C(cursor).State();
    });
}

IdpStatus idpAppend(IdpCursor cursor) {
    return Guard([&] { C(cursor).Append(); });
}
IdpStatus idpInsert(IdpCursor cursor) {
    return Guard([&] { C(cursor).Insert(); });
}
IdpStatus idpEdit(IdpCursor cursor) {
    return Guard([&] { C(cursor).Edit(); });
}
IdpStatus idpPost(IdpCursor cursor) {
    return Guard([&] { C(cursor).Post(); });
}
IdpStatus idpCancel(IdpCursor cursor) {
    return Guard([&] { C(cursor).Cancel(); });
}
IdpStatus idpDelete(IdpCursor cursor) {
    return Guard([&] { C(cursor).Delete(); });
}
IdpStatus idpSetKey(IdpCursor cursor) {
    return Guard([&] { C(cursor).SetKey(); });
}

IdpStatus idpGotoKey(IdpCursor cursor, uint16_t* found) {
    return Guard([&] {
        Require(found);
        *found = C(cursor).GotoKey() ? 1 : 0;
    });
}

IdpStatus idpFindText(IdpCursor cursor, uint16_t fieldNo, const char* text, uint16_t* found) {
    return Guard([&] {
        Require(found);
        *found = C(cursor).SearchText(fieldNo, Text(text)) ? 1 : 0;
    });
}

IdpStatus idpGetString(IdpCursor cursor, uint16_t fieldNo, char* buffer, uint32_t size,
                       uint32_t* length, uint16_t* isBlank) {
    return Guard([&] {
        Cursor& c = C(cursor);
        std::string text = c.GetText(fieldNo);
        if (isBlank)
            *isBlank = c.IsBlank(fieldNo) ? 1 : 0;
        if (length)
            *length = static_cast<uint32_t>(text.size());
        CopyOut(text, buffer, size);
    });
}

IdpStatus idpGetInteger(IdpCursor cursor, uint16_t fieldNo, int32_t* value, uint16_t* isBlank) {
    return Guard([&] {
        Require(value);
        Cursor& c = C(cursor);
        *value = c.GetInteger(fieldNo);
        if (isBlank)
            *isBlank = c.IsBlank(fieldNo) ? 1 : 0;
    });
}

IdpStatus idpGetDouble(IdpCursor cursor, uint16_t fieldNo, double* value, uint16_t* isBlank) {
    return Guard([&] {
        Require(value);
        Cursor& c = C(cursor);
        *value = c.GetDouble(fieldNo);
        if (isBlank)
            *isBlank = c.IsBlank(fieldNo) ? 1 : 0;
    });
}

IdpStatus idpGetDateTime(IdpCursor cursor, uint16_t fieldNo, double* value, uint16_t* isBlank) {
    return Guard([&] {
        Require(value);
        Cursor& c = C(cursor);
        *value = c.GetDateTime(fieldNo);
        if (isBlank)
            *isBlank = c.IsBlank(fieldNo) ? 1 : 0;
    });
}

IdpStatus idpGetBoolean(IdpCursor cursor, uint16_t fieldNo, uint16_t* value, uint16_t* isBlank) {
    return Guard([&] {
        Require(value);
        Cursor& c = C(cursor);
        *value = c.GetBoolean(fieldNo) ? 1 : 0;
        if (isBlank)
            *isBlank = c.IsBlank(fieldNo) ? 1 : 0;
    });
}

IdpStatus idpGetBytes(IdpCursor cursor, uint16_t fieldNo, void* buffer, uint32_t size,
                      uint32_t* length, uint16_t* isBlank) {
    return Guard([&] {
        Cursor& c = C(cursor);
        std::string bytes = c.GetBytes(fieldNo);
        if (isBlank)
            *isBlank = c.IsBlank(fieldNo) ? 1 : 0;
        if (length)
            *length = static_cast<uint32_t>(bytes.size());
        Require(buffer || size == 0);
        std::memcpy(buffer, bytes.data(), bytes.size() < size ? bytes.size() : size);
        if (bytes.size() > size)
            throw EngineError(IDP_ERR_BUFFER_SMALL);
    });
}

IdpStatus idpIsBlank(IdpCursor cursor, uint16_t fieldNo, uint16_t* isBlank) {
    return Guard([&] {
        Require(isBlank);
        *isBlank = C(cursor).IsBlank(fieldNo) ? 1 : 0;
    });
}

IdpStatus idpSetString(IdpCursor cursor, uint16_t fieldNo, const char* value) {
    return Guard([&] { C(cursor).SetText(fieldNo, Text(value)); });
}
IdpStatus idpSetInteger(IdpCursor cursor, uint16_t fieldNo, int32_t value) {
    return Guard([&] { C(cursor).SetInteger(fieldNo, value); });
}
IdpStatus idpSetDouble(IdpCursor cursor, uint16_t fieldNo, double value) {
    return Guard([&] { C(cursor).SetDouble(fieldNo, value); });
}
IdpStatus idpSetDateTime(IdpCursor cursor, uint16_t fieldNo, double value) {
    return Guard([&] { C(cursor).SetDateTime(fieldNo, value); });
}
IdpStatus idpSetBoolean(IdpCursor cursor, uint16_t fieldNo, uint16_t value) {
    return Guard([&] { C(cursor).SetBoolean(fieldNo, value != 0); });
}
IdpStatus idpSetBytes(IdpCursor cursor, uint16_t fieldNo, const void* value, uint32_t length) {
    return Guard([&] {
        Require(value || length == 0);
        C(cursor).SetBytes(fieldNo, std::string(static_cast<const char*>(value), length));
    });
}
IdpStatus idpSetBlank(IdpCursor cursor, uint16_t fieldNo) {
    return Guard([&] { C(cursor).SetBlank(fieldNo); });
}

IdpStatus idpBatchMove(IdpCursor source, IdpCursor destination, uint16_t mode,
                       const char* keyViolTable, const char* problemTable, const char* changedTable,
                       uint16_t abortOnKeyViol, uint16_t abortOnProblem, IdpMoveCounts* counts) {
    IdpMoveCounts local{};
    IdpStatus status = Guard([&] {
        Require(mode <= IDP_MOVE_APPEND_UPDATE);
        MoveOptions o;
        o.mode = mode;
        o.keyViolTable = keyViolTable ? keyViolTable : "";
        o.problemTable = problemTable ? problemTable : "";
        o.changedTable = changedTable ? changedTable : "";
        o.abortOnKeyViol = abortOnKeyViol != 0;
        o.abortOnProblem = abortOnProblem != 0;
        BatchMove(C(source), C(destination), o, local);
    });
    if (counts)
        *counts = local;
    return status;
}

} // extern "C"
