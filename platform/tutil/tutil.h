/* TUTIL32.DLL, the table utility library: verifies Paradox tables and rebuilds damaged
 * ones. The program loads it at run time and reaches it through these eight exports; the
 * library reports progress through the engine's callback of type TU_CB_PROGRESS.
 *
 * Every function returns a 16-bit engine status (0: success; idpGetErrorText or
 * TUGetErrorString give the text). All calls take a library session handle from TUInit.
 *
 * Verification writes one row per finding to an error table (fields "Error Code" short,
 * "Error Level" short, "Error Message" alpha 150) and reports the highest level found:
 *   0  no problems.
 *   1  a rebuild repairs it and no row is at risk:
 *        101 record count in the header differs from the rows in the blocks
 *        102 block counts, first or last block in the header differ from the chain
 *        103 the .PX primary index is missing, or does not index each data block in key
 *            order with its first key and row count (its fill, block numbering and number
 *            of levels are the writer's own)
 *        104 the .QIX sidecar names fields the table lacks or has lines it cannot read
 *        105 the autoincrement counter is below the highest value in the table
 *        106 an empty block is linked into the chain
 *        107 the header declares a code page no Paradox program writes (the engine
 *            reads the text as ANSI; the rebuilt header says 1252)
 *   2  a rebuild repairs it, salvaging every readable row (some may go to the problem or
 *      key-violation table):
 *        201 a link points outside the file         202 the chain links back on itself
 *        203 a block's back link is not its predecessor
 *        204 a block's fill runs past the block or is off a record boundary
 *        205 a block holding rows is not reachable through the chain
 *        206 the file ends inside a block (truncated)
 *        207 keys out of order                        208 two rows with one key
 *        209 a field value no writer produces (an alpha value with bytes after its end,
 *            an impossible date or time)
 *        210 the header counts records but names no first block
 *        211 a unique index of the sidecar holds a value twice: a secondary one, or a
 *            primary key that ignores case holding two keys that differ in case only
 *            (the first row in key order keeps it, the others go to the key-violation
 *            table)
 *   3  the table cannot be rebuilt automatically:
 *        301 the table is password-protected (this library does not decrypt; verify
 *            checks its header only and rebuild refuses it)
 *        302 the header is a Paradox header but its field table is damaged, or a field's
 *            name holds a control character (rebuild refuses it too)
 *   4  the table cannot be rebuilt at all:
 *        401 the file is missing, empty, not a Paradox table, or its header is destroyed
 */
#ifndef QUIPTIDE_TUTIL_H
#define QUIPTIDE_TUTIL_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#ifdef TUTIL_BUILDING_DLL
#define TU_EXPORT __declspec(dllexport)
#else
#define TU_EXPORT __declspec(dllimport)
#endif
#define TU_API __stdcall
#else
#define TU_EXPORT
#define TU_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t TUStatus;

/* The progress callback's type, registered with idpRegisterCallback. */
enum { TU_CB_PROGRESS = 23 };

/* Option bits of TUVerifyTable. */
enum {
    TU_APPEND_ERRORS = 0x01, /* add the rows to an existing error table */
    TU_NO_SECONDARY = 0x02,  /* skip the secondary indexes of the sidecar */
    TU_NO_WARNINGS = 0x04,   /* leave level-1 findings out of the error table */
    TU_HEADER_ONLY = 0x08,   /* check the header alone */
    TU_DIALOG_HIDE = 0x10,   /* accepted; the library shows no window of its own */
    TU_NO_LOCK = 0x20        /* read without taking the shared lock */
};

/* Verify progress phases (byte TU_VCB_PHASE). */
enum {
    TU_PHASE_HEADER = 0,
    TU_PHASE_INDEX = 1,
    TU_PHASE_DATA = 2,
    TU_PHASE_SEC_HEADER = 3,
    TU_PHASE_SEC_INDEX = 4,
    TU_PHASE_SEC_DATA = 5,
    TU_PHASE_INTEGRITY = 6,
    TU_PHASE_STATUS = 7
};

/* The verify progress buffer: 268 bytes, little-endian. */
#define TU_VCB_SIZE 268
#define TU_VCB_VALUE 0   /* u16 progress of the phase */
#define TU_VCB_MESSAGE 2 /* 261 bytes, NUL-terminated */
#define TU_VCB_MESSAGE_LEN 261
#define TU_VCB_PHASE 263       /* u8 */
#define TU_VCB_INDEX 264       /* u16: secondary index number * 256 */
#define TU_VCB_INDEX_COUNT 266 /* u16: secondary index count * 256 */

/* The rebuild progress buffer: 130 bytes. A value of 0 or more is a percent with an
 * empty message; a message comes with the value -1. The message's room ends with the
 * buffer: the library writes at most 127 characters and the NUL, and a reader takes no
 * more than the room, terminated or not. */
#define TU_RCB_SIZE 130
#define TU_RCB_VALUE 0 /* i16 */
#define TU_RCB_MESSAGE 2
#define TU_RCB_MESSAGE_LEN 128 /* bytes of room, the NUL included */

/* The cursor-properties record TUFillCURProps fills: 427 bytes, little-endian. */
#define TU_CURPROPS_SIZE 427
#define TU_CP_NAME 0            /* table path without extension, NUL-terminated (261) */
#define TU_CP_TABLE_TYPE 263    /* "Paradox", NUL-terminated (32) */
#define TU_CP_FIELDS 295        /* u16 */
#define TU_CP_RECORD_SIZE 297   /* u16 */
#define TU_CP_KEY_SIZE 301      /* u16 */
#define TU_CP_INDEXES 303       /* u16 */
#define TU_CP_VAL_CHECKS 305    /* u16 */
#define TU_CP_RI_CHECKS 307     /* u16 */
#define TU_CP_RESTRUCTURE 335   /* u16: restructure version */
#define TU_CP_AUX_PASSWORDS 345 /* u16 */
#define TU_CP_PROTECTED 349     /* u16: nonzero when password-protected */
#define TU_CP_LANG_DRIVER 353   /* NUL-terminated (32) */
#define TU_CP_BLOCK_SIZE 387    /* u16 */

/* Element sizes of the rebuild descriptor's arrays. */
#define TU_FIELD_DESC_SIZE 62
#define TU_INDEX_DESC_SIZE 893
#define TU_SECURITY_DESC_SIZE 1064
#define TU_VALCHECK_DESC_SIZE 1219
#define TU_RI_DESC_SIZE 373
#define TU_OPT_PARAM_SIZE 62
#define TU_OPT_DATA_SIZE 128

/* A field description (62 bytes): number u16 at 0 (1-based), name at 2 (32, NUL-
 * terminated), type u16 at 34 (IDP_FLD_), size u16 at 36 (as the engine describes it),
 * width in the record u16 at 38, offset in the record u16 at 40, required u16 at 42. */
#define TU_FD_NUMBER 0
#define TU_FD_NAME 2
#define TU_FD_TYPE 34
#define TU_FD_SIZE 36
#define TU_FD_WIDTH 38
#define TU_FD_OFFSET 40
#define TU_FD_REQUIRED 42
/* An index description (893 bytes): name at 0 (32), fields or expression at 32 (261,
 * field names separated by ';'), options u16 at 293 (IDP_IDX_ bits). */
#define TU_ID_NAME 0
#define TU_ID_FIELDS 32
#define TU_ID_OPTIONS 293

/* The rebuild descriptor: one packed record for both targets, 682 bytes on 32-bit
 * builds; on 64-bit builds its pointers are 8 bytes wide and the fields after the first
 * pointer move accordingly. */
#pragma pack(push, 1)
typedef struct TURebuildDesc {
    char tableName[261];    /*   0: table path without extension */
    char tableType[32];     /* 261: "Paradox" */
    char errTableName[261]; /* 293 */
    uint8_t reserved0[66];  /* 554 */
    uint16_t pack;          /* 620: squeeze out free space */
    uint16_t fieldCount;    /* 622 */
    uint8_t reserved1[4];
    uint8_t* fields;     /* 628: fieldCount x TU_FIELD_DESC_SIZE */
    uint16_t indexCount; /* 632 */
    uint8_t reserved2[4];
    uint8_t* indexes;       /* 638: indexCount x TU_INDEX_DESC_SIZE */
    uint16_t securityCount; /* 642 */
    uint8_t reserved3[4];
    uint8_t* security;      /* 648 */
    uint16_t valCheckCount; /* 652 */
    uint8_t reserved4[4];
    uint8_t* valChecks; /* 658 */
    uint16_t riCount;   /* 662 */
    uint8_t reserved5[4];
    uint8_t* riDescs;       /* 668 */
    uint16_t optParamCount; /* 672 */
    uint8_t* optParams;     /* 674 */
    uint8_t* optData;       /* 678: count 7 x TU_OPT_DATA_SIZE */
} TURebuildDesc;
#pragma pack(pop)

#ifdef __cplusplus
#define TU_OFFSET_IS(field, at32, at64)                                                            \
    static_assert(offsetof(TURebuildDesc, field) == (sizeof(void*) == 4 ? (at32) : (at64)),        \
                  "TURebuildDesc." #field " is misplaced")
TU_OFFSET_IS(tableName, 0, 0);
TU_OFFSET_IS(tableType, 261, 261);
TU_OFFSET_IS(errTableName, 293, 293);
TU_OFFSET_IS(pack, 620, 620);
TU_OFFSET_IS(fieldCount, 622, 622);
TU_OFFSET_IS(fields, 628, 628);
TU_OFFSET_IS(indexCount, 632, 636);
TU_OFFSET_IS(indexes, 638, 642);
TU_OFFSET_IS(securityCount, 642, 650);
TU_OFFSET_IS(security, 648, 656);
TU_OFFSET_IS(valCheckCount, 652, 664);
TU_OFFSET_IS(valChecks, 658, 670);
TU_OFFSET_IS(riCount, 662, 678);
TU_OFFSET_IS(riDescs, 668, 684);
TU_OFFSET_IS(optParamCount, 672, 692);
TU_OFFSET_IS(optParams, 674, 694);
TU_OFFSET_IS(optData, 678, 702);
static_assert(sizeof(TURebuildDesc) == (sizeof(void*) == 4 ? 682 : 710),
              "TURebuildDesc has the wrong size");
#undef TU_OFFSET_IS
#endif

TU_EXPORT TUStatus TU_API TUInit(uint16_t* handle);
TU_EXPORT TUStatus TU_API TUExit(uint16_t handle);
/* Verifies a table (path without extension); writes the error table (a name without a
 * directory lands in the current directory) and the highest level into *errorLevel. */
TU_EXPORT TUStatus TU_API TUVerifyTable(uint16_t handle, const char* table, const char* driverType,
                                        const char* errTable, const char* reserved,
                                        uint32_t options, int32_t* errorLevel);
/* Rebuilds a table in place; the original stays as the backup table, rows with a key
 * already taken go to keyViol and unreadable rows to problems (each a path without
 * extension). desc comes from TUFillCRTblDesc; its pack flag is honoured. */
TU_EXPORT TUStatus TU_API TURebuildTable(uint16_t handle, const char* table, const char* driverType,
                                         const char* backup, const char* keyViol,
                                         const char* problems, TURebuildDesc* desc);
TU_EXPORT TUStatus TU_API TUGetCRTblDescCount(uint16_t handle, const char* table, uint16_t* fields,
                                              uint16_t* indexes, uint16_t* security,
                                              uint16_t* valChecks, uint16_t* riDescs,
                                              uint16_t* optParams, uint16_t* optData);
TU_EXPORT TUStatus TU_API TUFillCRTblDesc(uint16_t handle, TURebuildDesc* desc, const char* table,
                                          const char* password);
/* Fills a zeroed TU_CURPROPS_SIZE-byte buffer. A file whose header cannot be read still
 * gets the type "Paradox", so that verification can say what is wrong with it. */
TU_EXPORT TUStatus TU_API TUFillCURProps(uint16_t handle, const char* table, void* curProps);
/* The text of a status into buffer, which holds at least 256 bytes. */
TU_EXPORT TUStatus TU_API TUGetErrorString(uint16_t handle, uint16_t status, char* buffer);

#ifdef __cplusplus
}
#endif

#endif
