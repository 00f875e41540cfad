/* IDAPI32.DLL: the table database engine's C API over Paradox tables.
 *
 * Every function returns an IdpStatus: 0 (IDP_OK) for success, another value for a
 * failure whose text idpGetErrorText gives; idpGetLastError adds the context of the
 * most recent failure (for example the table's path). Strings are NUL-terminated and in
 * the Windows ANSI code page (1252); a table whose header declares another code page is
 * converted on the way in and out. Handles are opaque. The engine is single-threaded:
 * call it from one thread. Calling convention: the compiler's default (cdecl) on both
 * Windows targets; there is no __stdcall anywhere in this interface. */
#ifndef QUIPTIDE_IDAPI_H
#define QUIPTIDE_IDAPI_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && defined(IDAPI_BUILDING_DLL)
#define IDP_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(IDAPI_STATIC)
#define IDP_API __declspec(dllimport)
#else
#define IDP_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t IdpStatus;

/* Status codes. Every one has a text (idpGetErrorText). */
enum {
    IDP_OK = 0,
    IDP_ERR_EOF = 1,              /* moved past the last row */
    IDP_ERR_BOF = 2,              /* moved before the first row */
    IDP_ERR_NO_SUCH_TABLE = 3,    /* the table's file does not exist */
    IDP_ERR_NOT_A_TABLE = 4,      /* the file is not a Paradox table */
    IDP_ERR_DAMAGED = 5,          /* the file is a table but its contents are damaged */
    IDP_ERR_LOCKED = 6,           /* another table object or program holds the table */
    IDP_ERR_IO = 7,               /* the operating system failed a read or a write */
    IDP_ERR_ACCESS = 8,           /* the file cannot be created, opened or deleted */
    IDP_ERR_KEY_VIOLATION = 9,    /* a row with the same key is already in the table */
    IDP_ERR_REQUIRED = 10,        /* a required field is blank */
    IDP_ERR_NO_SUCH_FIELD = 11,   /* no field has that name or number */
    IDP_ERR_FIELD_TYPE = 12,      /* the value's kind does not suit the field */
    IDP_ERR_NO_SUCH_INDEX = 13,   /* no index has that name or those fields */
    IDP_ERR_NO_RECORD = 14,       /* the cursor is not on a row */
    IDP_ERR_NOT_EDITING = 15,     /* post or cancel outside edit and insert */
    IDP_ERR_BAD_HANDLE = 16,      /* a handle that is null, closed or of another kind */
    IDP_ERR_BAD_PARAM = 17,       /* a null pointer, an empty name or a value out of range */
    IDP_ERR_PASSWORD = 18,        /* the table is password-protected and no password fits */
    IDP_ERR_UNSUPPORTED = 19,     /* the engine cannot do this on this table or field */
    IDP_ERR_DOES_NOT_FIT = 20,    /* the value cannot be stored in the field */
    IDP_ERR_BAD_DESCRIPTION = 21, /* a field or index description cannot make a table */
    IDP_ERR_TABLE_FULL = 22,      /* the table reached the size its format allows */
    IDP_ERR_NO_MEMORY = 23,       /* the engine ran out of memory */
    IDP_ERR_NOT_FOUND = 24,       /* no session, database or callback by that name or kind */
    IDP_ERR_BUFFER_SMALL = 25,    /* the caller's buffer is too small for the value */
    IDP_ERR_ABORTED = 26,         /* a batch move stopped at a key violation or problem */
    IDP_ERR_IN_USE = 27           /* the table is open, or the cursor has a pending edit */
};

/* Field types: the codes of the Paradox file format. */
enum {
    IDP_FLD_ALPHA = 0x01,
    IDP_FLD_DATE = 0x02,
    IDP_FLD_SHORT = 0x03,
    IDP_FLD_LONG = 0x04,
    IDP_FLD_CURRENCY = 0x05,
    IDP_FLD_NUMBER = 0x06,
    IDP_FLD_LOGICAL = 0x09,
    IDP_FLD_MEMO = 0x0C,
    IDP_FLD_BLOB = 0x0D,
    IDP_FLD_FMTMEMO = 0x0E,
    IDP_FLD_OLE = 0x0F,
    IDP_FLD_GRAPHIC = 0x10,
    IDP_FLD_TIME = 0x14,
    IDP_FLD_TIMESTAMP = 0x15,
    IDP_FLD_AUTOINC = 0x16,
    IDP_FLD_BCD = 0x17,
    IDP_FLD_BYTES = 0x18
};

/* Index options (bits of IdpIndexDesc.options). */
enum {
    IDP_IDX_PRIMARY = 0x01,
    IDP_IDX_UNIQUE = 0x02,
    IDP_IDX_DESCENDING = 0x04,
    IDP_IDX_CASE_INSENSITIVE = 0x08,
    IDP_IDX_EXPRESSION = 0x10
};

/* Open modes. */
enum { IDP_OPEN_SHARED = 0, IDP_OPEN_EXCLUSIVE = 1 };

/* Cursor states. */
enum { IDP_STATE_BROWSE = 0, IDP_STATE_EDIT = 1, IDP_STATE_INSERT = 2, IDP_STATE_SETKEY = 3 };

/* Batch-move modes. */
enum { IDP_MOVE_APPEND = 0, IDP_MOVE_APPEND_UPDATE = 1 };

/* The callback type through which the table utility reports progress. */
enum { IDP_CB_PROGRESS = 23 };

#define IDP_MAX_NAME 32  /* field and index names, with the NUL */
#define IDP_MAX_PATH 261 /* paths, with the NUL */

typedef struct IdpCursorRec* IdpCursor;
typedef struct IdpSessionRec* IdpSession;
typedef struct IdpDatabaseRec* IdpDatabase;
typedef struct IdpTableListRec* IdpTableList;

/* One field of a table. size: characters of an alpha field, bytes of a bytes field,
 * the in-record part of a memo or BLOB field, digits after the point of a BCD field;
 * the fixed width of the other types (the engine fills it in on creation). */
typedef struct IdpFieldDesc {
    char name[IDP_MAX_NAME];
    uint16_t type;
    uint16_t size;
    uint16_t required; /* 1: post refuses a blank value (not for autoincrement fields) */
} IdpFieldDesc;

/* One index of a table. fields: field names separated by ';' (or the expression of an
 * expression index). The primary index is over the table's first fields, in order. */
typedef struct IdpIndexDesc {
    char name[IDP_MAX_NAME];
    char fields[IDP_MAX_PATH];
    uint16_t options;
} IdpIndexDesc;

/* What a table's header says about it, read without opening the table. */
typedef struct IdpTableProps {
    char tableType[IDP_MAX_NAME]; /* "Paradox" */
    char locale[IDP_MAX_NAME];    /* the table's character set, for example "cp1252" */
    uint16_t version;             /* file format version: 3, 4, 5 or 7 */
    uint16_t fieldCount;
    uint16_t recordSize;
    uint16_t keyFields;  /* fields in the primary key */
    uint16_t keySize;    /* bytes of the primary key */
    uint16_t indexCount; /* primary and secondary indexes */
    uint16_t blockSize;  /* bytes */
    uint16_t auxPasswords;
    uint16_t passwordProtected;
    uint16_t codePage;
    uint16_t changeCount; /* restructure version */
    uint16_t validityChecks;
    uint16_t referentialChecks;
    int32_t recordCount; /* as the header says (idpGetRowCount counts them) */
} IdpTableProps;

/* Counts of the last batch move. */
typedef struct IdpMoveCounts {
    uint32_t read;          /* source rows read, rejected ones included */
    uint32_t moved;         /* rows added or replaced in the destination */
    uint32_t keyViolations; /* rows written to the key-violation table */
    uint32_t problems;      /* rows written to the problem table */
    uint32_t changed;       /* replaced rows whose old values went to the changed table */
} IdpMoveCounts;

/* One row of a table-list query. The layout is fixed: recordCount at byte 618 and
 * infoValid at byte 624 (checked by the engine's build). */
#pragma pack(push, 1)
typedef struct IdpTableListEntry {
    char name[IDP_MAX_PATH];      /*   0: file name with extension */
    char directory[IDP_MAX_PATH]; /* 261: directory, ending in a separator */
    char tableType[IDP_MAX_NAME]; /* 522: "Paradox" */
    char locale[IDP_MAX_NAME];    /* 554: character set */
    uint16_t version;             /* 586 */
    uint16_t fieldCount;          /* 588 */
    uint16_t recordSize;          /* 590 */
    uint16_t keyFields;           /* 592 */
    uint16_t indexCount;          /* 594 */
    uint16_t blockSize;           /* 596 */
    uint16_t auxPasswords;        /* 598 */
    uint16_t passwordProtected;   /* 600 */
    uint16_t codePage;            /* 602 */
    uint8_t reserved[14];         /* 604: zero */
    int32_t recordCount;          /* 618 */
    uint16_t changeCount;         /* 622 */
    uint16_t infoValid;           /* 624: 1 when the extended fields above were read */
    uint16_t isSystemTable;       /* 626: 1 for the engine's own side files */
} IdpTableListEntry;
#pragma pack(pop)

/* A registered callback: called with its type, the client data given at registration
 * and the registered buffer; returns 1. */
typedef int32_t (*IdpCallback)(uint16_t type, uintptr_t clientData, void* buffer);

/* ---- Errors ---- */

/* The engine's text for a status; every status has one. */
IDP_API IdpStatus idpGetErrorText(IdpStatus status, char* buffer, uint16_t size);
/* The status and full text (with context such as the table path) of the last failure. */
IDP_API IdpStatus idpGetLastError(IdpStatus* status, char* buffer, uint16_t size);

/* ---- Sessions, private directory, passwords ---- */

/* The default session, which exists for the whole life of the process. */
IDP_API IdpStatus idpGetDefaultSession(IdpSession* session);
/* The number of sessions, the default one included. */
IDP_API IdpStatus idpGetSessionCount(uint16_t* count);
/* The name and the number of open databases of the session at index (0 = default). */
IDP_API IdpStatus idpGetSessionInfo(uint16_t index, char* name, uint16_t nameSize,
                                    uint16_t* openDatabases, IdpSession* session);
/* Finds the session with that name (case ignored) or creates it, and makes it active. */
IDP_API IdpStatus idpOpenSession(const char* name, IdpSession* session);
/* The active session (the default one until idpOpenSession). */
IDP_API IdpStatus idpGetActiveSession(IdpSession* session);
/* Makes a session active. */
IDP_API IdpStatus idpSetActiveSession(IdpSession session);
/* A session's private directory, ending in a separator; created when missing. */
IDP_API IdpStatus idpGetPrivateDir(IdpSession session, char* buffer, uint16_t size);
/* Sets a session's private directory (must exist). */
IDP_API IdpStatus idpSetPrivateDir(IdpSession session, const char* directory);
/* Registers a master password with a session; opens of protected tables try it. */
IDP_API IdpStatus idpAddPassword(IdpSession session, const char* password);
/* Withdraws a password registered with a session (absent: nothing happens). */
IDP_API IdpStatus idpDropPassword(IdpSession session, const char* password);

/* ---- Databases (directories) ---- */

/* Opens the database of a directory in a session; opening the same directory again
 * returns the same handle and counts one more reference. locale receives its native
 * character set (may be null). */
IDP_API IdpStatus idpOpenDatabase(IdpSession session, const char* directory, IdpDatabase* database,
                                  char* locale, uint16_t localeSize);
/* Releases one reference; the last one closes the database. */
IDP_API IdpStatus idpCloseDatabase(IdpDatabase database);
/* Converts a string from the program's character set to the database's native one. */
IDP_API IdpStatus idpToNative(IdpDatabase database, const char* text, char* buffer, uint16_t size);
/* Lists the tables of a database whose file name matches pattern (a name, a path in
 * the database's directory, or wildcards * and ?). extended: fill the header fields;
 * systemTables: include the engine's side files. */
IDP_API IdpStatus idpOpenTableList(IdpDatabase database, const char* pattern, uint16_t extended,
                                   uint16_t systemTables, IdpTableList* list);
/* Reads the next entry; IDP_ERR_EOF after the last. */
IDP_API IdpStatus idpReadTableList(IdpTableList list, IdpTableListEntry* entry);
/* Closes a table list. */
IDP_API IdpStatus idpCloseTableList(IdpTableList list);

/* ---- Callbacks ---- */

/* Registers fn for a callback type with its client data and buffer; a null fn with
 * clientData 0 unregisters that type. cursor is reserved and must be null. */
IDP_API IdpStatus idpRegisterCallback(IdpCursor cursor, uint16_t type, uintptr_t clientData,
                                      uint16_t bufferSize, void* buffer, IdpCallback fn);
/* The registration for a type, for a library that reports through it; IDP_ERR_NOT_FOUND
 * when none is registered. */
IDP_API IdpStatus idpGetCallback(uint16_t type, uintptr_t* clientData, uint16_t* bufferSize,
                                 void** buffer, IdpCallback* fn);

/* ---- Tables by path (closed) ---- */
/* A table path is a file path; without an extension ".db" is assumed. */

/* Creates an empty table, replacing the table of that name with all its files.
 * Indexes: at most one primary (over the first fields), any number of secondaries. */
IDP_API IdpStatus idpCreateTable(const char* path, uint16_t fieldCount, const IdpFieldDesc* fields,
                                 uint16_t indexCount, const IdpIndexDesc* indexes);
/* Deletes a table with all its files; IDP_ERR_LOCKED while anyone has it open. */
IDP_API IdpStatus idpDeleteTable(const char* path);
/* Reads field and index descriptions without opening the table. Counts are always
 * written; arrays (may be null) receive at most their capacity. */
IDP_API IdpStatus idpDescribeTable(const char* path, IdpFieldDesc* fields, uint16_t fieldCapacity,
                                   uint16_t* fieldCount, IdpIndexDesc* indexes,
                                   uint16_t indexCapacity, uint16_t* indexCount);
/* Reads the header's properties without opening the table. */
IDP_API IdpStatus idpGetTableProps(const char* path, IdpTableProps* props);

/* The rows of a table, counted as an open counts them (the header's count may be left
 * from before a failure): from the .PX when it is as new as the data and agrees with the
 * header, otherwise from the data blocks' headers. No lock is taken and no row is read. */
IDP_API IdpStatus idpGetRowCount(const char* path, uint32_t* count);

/* ---- Cursors ---- */

/* Opens a table; exclusive fails with IDP_ERR_LOCKED while anyone else has it open,
 * shared while anyone has it exclusively. The cursor starts on the first row. */
IDP_API IdpStatus idpOpenTable(const char* path, uint16_t mode, IdpCursor* cursor);
/* Closes a cursor; a pending edit is discarded. */
IDP_API IdpStatus idpCloseTable(IdpCursor cursor);
/* The field descriptions of an open table (1-based fieldNo). */
IDP_API IdpStatus idpGetFieldCount(IdpCursor cursor, uint16_t* count);
/* One field's description. */
IDP_API IdpStatus idpGetFieldDesc(IdpCursor cursor, uint16_t fieldNo, IdpFieldDesc* desc);
/* The number of a field by name, case ignored. */
IDP_API IdpStatus idpFindField(IdpCursor cursor, const char* name, uint16_t* fieldNo);

/* Orders the cursor by the index of that name; an empty name is the primary order. */
IDP_API IdpStatus idpSetIndexByName(IdpCursor cursor, const char* indexName);
/* Orders the cursor by an ascending non-expression index whose fields are, or begin
 * with, fieldNames (";"-separated, case ignored; an exact match is preferred). */
IDP_API IdpStatus idpSetIndexByFields(IdpCursor cursor, const char* fieldNames);
/* Orders the cursor as the rows lie in the table's files (a keyed table's: by the primary
 * key's bytes), an order that needs no index worked out and no row read to set it: for
 * passes over every row, and for picks where any order will do. The current index then
 * has an empty name; key lookups need an index set again. */
IDP_API IdpStatus idpSetFileOrder(IdpCursor cursor);
/* The current index's description (primary order: the primary index, or an empty
 * name when the table has none). */
IDP_API IdpStatus idpGetCurrentIndex(IdpCursor cursor, IdpIndexDesc* desc);

/* Moves to the first row; IDP_ERR_EOF on an empty table. */
IDP_API IdpStatus idpFirst(IdpCursor cursor);
/* Moves to the last row; IDP_ERR_EOF on an empty table. */
IDP_API IdpStatus idpLast(IdpCursor cursor);
/* Moves to the next row; IDP_ERR_EOF (and the end flag) past the last. */
IDP_API IdpStatus idpNext(IdpCursor cursor);
/* Moves to the previous row; IDP_ERR_BOF (and the beginning flag) before the first. */
IDP_API IdpStatus idpPrior(IdpCursor cursor);
/* The end and beginning flags of the last move. */
IDP_API IdpStatus idpGetEof(IdpCursor cursor, uint16_t* eof, uint16_t* bof);
/* The number of rows. */
IDP_API IdpStatus idpGetRecordCount(IdpCursor cursor, uint32_t* count);
/* The current row's position in the current order, 1-based (0 when there is none). */
IDP_API IdpStatus idpGetSeqNo(IdpCursor cursor, uint32_t* seqNo);
/* Moves to the row at a 1-based position in the current order. */
IDP_API IdpStatus idpSetSeqNo(IdpCursor cursor, uint32_t seqNo);
/* Rereads the table's rows, keeping the current row when it still exists. */
IDP_API IdpStatus idpRefresh(IdpCursor cursor);
/* The cursor's state (IDP_STATE_...). */
IDP_API IdpStatus idpGetState(IdpCursor cursor, uint16_t* state);

/* Starts a new blank row, placed at the end (by key in a keyed table) when posted. */
IDP_API IdpStatus idpAppend(IdpCursor cursor);
/* Starts a new blank row before the current one (by key in a keyed table). */
IDP_API IdpStatus idpInsert(IdpCursor cursor);
/* Starts editing the current row; on an empty table starts a new row instead. */
IDP_API IdpStatus idpEdit(IdpCursor cursor);
/* Writes the edited or new row; it becomes the current row. */
IDP_API IdpStatus idpPost(IdpCursor cursor);
/* Discards the pending edit or key; the cursor returns to browse. */
IDP_API IdpStatus idpCancel(IdpCursor cursor);
/* Deletes the current row; the next row (or the new last one) becomes current. */
IDP_API IdpStatus idpDelete(IdpCursor cursor);

/* Enters key mode: the setters below fill the search key of the current index. */
IDP_API IdpStatus idpSetKey(IdpCursor cursor);
/* Looks the key up on the current index; an exact match becomes current and found is 1,
 * otherwise the cursor stays and found is 0. Leaves key mode. */
IDP_API IdpStatus idpGotoKey(IdpCursor cursor, uint16_t* found);

/* Moves to the next row after the current one (from the first row when there is none),
 * in the current order and wrapping past the end, whose alpha field contains text,
 * letters compared as case-insensitive indexes compare them; the current row is tried
 * last. found receives 1, or 0 with the cursor left where it was. An empty text is in
 * every row. */
IDP_API IdpStatus idpFindText(IdpCursor cursor, uint16_t fieldNo, const char* text,
                              uint16_t* found);

/* Field values of the current row (or of the pending edit, or of the key in key mode).
 * isBlank (may be null) receives 1 for a blank value. fieldNo is 1-based. */

/* Text of an alpha or memo field; length receives the full length (may be null). */
IDP_API IdpStatus idpGetString(IdpCursor cursor, uint16_t fieldNo, char* buffer, uint32_t size,
                               uint32_t* length, uint16_t* isBlank);
/* A short, long or autoincrement field (also a logical one: 0 or 1). */
IDP_API IdpStatus idpGetInteger(IdpCursor cursor, uint16_t fieldNo, int32_t* value,
                                uint16_t* isBlank);
/* A number, currency, BCD, short, long or autoincrement field. */
IDP_API IdpStatus idpGetDouble(IdpCursor cursor, uint16_t fieldNo, double* value,
                               uint16_t* isBlank);
/* A date, time or timestamp field as days since 30 December 1899 with the time of
 * day as the fraction. */
IDP_API IdpStatus idpGetDateTime(IdpCursor cursor, uint16_t fieldNo, double* value,
                                 uint16_t* isBlank);
/* A logical field. */
IDP_API IdpStatus idpGetBoolean(IdpCursor cursor, uint16_t fieldNo, uint16_t* value,
                                uint16_t* isBlank);
/* The bytes of a bytes, memo or BLOB field; length receives the full length. */
IDP_API IdpStatus idpGetBytes(IdpCursor cursor, uint16_t fieldNo, void* buffer, uint32_t size,
                              uint32_t* length, uint16_t* isBlank);
/* Whether a field is blank. */
IDP_API IdpStatus idpIsBlank(IdpCursor cursor, uint16_t fieldNo, uint16_t* isBlank);

/* Setters work in edit, insert and key mode. A string longer than an alpha field is
 * cut to the field's size; an empty string makes the field blank. */
IDP_API IdpStatus idpSetString(IdpCursor cursor, uint16_t fieldNo, const char* value);
/* Sets a short, long, number or currency field (IDP_ERR_DOES_NOT_FIT when out of range). */
IDP_API IdpStatus idpSetInteger(IdpCursor cursor, uint16_t fieldNo, int32_t value);
/* Sets a number, currency, short or long field. */
IDP_API IdpStatus idpSetDouble(IdpCursor cursor, uint16_t fieldNo, double value);
/* Sets a date, time or timestamp field (days since 30 December 1899). */
IDP_API IdpStatus idpSetDateTime(IdpCursor cursor, uint16_t fieldNo, double value);
/* Sets a logical field. */
IDP_API IdpStatus idpSetBoolean(IdpCursor cursor, uint16_t fieldNo, uint16_t value);
/* Sets a bytes field (cut to its size). */
IDP_API IdpStatus idpSetBytes(IdpCursor cursor, uint16_t fieldNo, const void* value,
                              uint32_t length);
/* Makes a field blank. */
IDP_API IdpStatus idpSetBlank(IdpCursor cursor, uint16_t fieldNo);

/* ---- Batch move ---- */

/* Moves every row of source (from its first row, in its current order) into
 * destination, columns by position. IDP_MOVE_APPEND sends a row whose key exists to the
 * key-violation table; IDP_MOVE_APPEND_UPDATE replaces that row and writes its old
 * values to the changed table. A row whose values do not fit goes to the problem table.
 * Side-table names (null or empty: not kept) lie in the destination's directory unless
 * they carry a path; each is replaced when the move first writes to it. With an abort
 * flag set the move stops at the first such row with IDP_ERR_ABORTED. counts is filled
 * even when the move fails; the destination ends on its first row. */
IDP_API IdpStatus idpBatchMove(IdpCursor source, IdpCursor destination, uint16_t mode,
                               const char* keyViolTable, const char* problemTable,
                               const char* changedTable, uint16_t abortOnKeyViol,
                               uint16_t abortOnProblem, IdpMoveCounts* counts);

#ifdef __cplusplus
}
#endif

#endif
