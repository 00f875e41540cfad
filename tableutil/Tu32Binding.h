// The calling contract of TUTIL32.DLL as the program uses it: the entry points resolved by
// name, the rebuild descriptor, the cursor-properties record and the progress buffers.
#pragma once

#include <cstddef>
#include <cstdint>

#define TU_CALL __stdcall

using TUInitFn = uint16_t(TU_CALL*)(uint16_t* handle);
using TUExitFn = uint16_t(TU_CALL*)(uint16_t handle);
using TUVerifyTableFn = uint16_t(TU_CALL*)(uint16_t handle, const char* table,
                                           const char* driverType, const char* errTable,
                                           const char* reserved, uint32_t options,
                                           int32_t* errorLevel);
using TURebuildTableFn = uint16_t(TU_CALL*)(uint16_t handle, const char* table,
                                            const char* driverType, const char* backup,
                                            const char* keyViol, const char* problems, void* desc);
using TUGetCRTblDescCountFn = uint16_t(TU_CALL*)(uint16_t handle, const char* table, uint16_t* c1,
                                                 uint16_t* c2, uint16_t* c3, uint16_t* c4,
                                                 uint16_t* c5, uint16_t* c6, uint16_t* c7);
using TUFillCRTblDescFn = uint16_t(TU_CALL*)(uint16_t handle, void* desc, const char* table,
                                             const char* password);
using TUFillCURPropsFn = uint16_t(TU_CALL*)(uint16_t handle, const char* table, void* props);
using TUGetErrorStringFn = uint16_t(TU_CALL*)(uint16_t handle, uint16_t status, char* buffer);

struct TUtilEntries {
    TUInitFn Init;
    TUVerifyTableFn VerifyTable;
    TURebuildTableFn RebuildTable;
    TUGetCRTblDescCountFn GetCRTblDescCount;
    TUFillCRTblDescFn FillCRTblDesc;
    TUFillCURPropsFn FillCURProps;
    TUExitFn Exit;
    TUGetErrorStringFn GetErrorString; // resolved, never called
};

// The table-creation descriptor the library fills and rebuilds from; 682 bytes on 32-bit
// builds, its pointers 8 bytes wide on 64-bit ones.
#pragma pack(push, 1)
struct TURebuildDescriptor {
    char tableName[261];
    char tableType[32];
    char errTable[261];
    uint8_t reserved1[66];
    uint16_t pack;
    uint16_t fieldCount;
    uint8_t reserved2[4];
    void* fields; // fieldCount x 62 bytes
    uint16_t indexCount;
    uint8_t reserved3[4];
    void* indexes; // x 893
    uint16_t securityCount;
    uint8_t reserved4[4];
    void* security; // x 1064
    uint16_t valCheckCount;
    uint8_t reserved5[4];
    void* valChecks; // x 1219
    uint16_t refIntCount;
    uint8_t reserved6[4];
    void* refInts; // x 373
    uint16_t optParamCount;
    void* optParams;    // x 62
    void* optParamData; // count 7 x 128
};
#pragma pack(pop)
static_assert(offsetof(TURebuildDescriptor, errTable) == 293);
static_assert(offsetof(TURebuildDescriptor, pack) == 620);
static_assert(offsetof(TURebuildDescriptor, fieldCount) == 622);
static_assert(offsetof(TURebuildDescriptor, fields) == 628);
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(TURebuildDescriptor, indexes) == 638);
static_assert(offsetof(TURebuildDescriptor, refInts) == 668);
static_assert(offsetof(TURebuildDescriptor, optParams) == 674);
static_assert(sizeof(TURebuildDescriptor) == 682);
#else
static_assert(sizeof(TURebuildDescriptor) == 682 + 7 * 4);
#endif

// The element sizes of the descriptor's seven arrays, in their order.
inline constexpr size_t kTUElementSizes[7] = {62, 893, 1064, 1219, 373, 62, 128};

// Byte offsets of the 427-byte cursor-properties record.
inline constexpr size_t kTUCurPropsSize = 427;
enum TUCurPropsOffset : size_t {
    kCPTableType = 263,
    kCPFields = 295,
    kCPRecordSize = 297,
    kCPKeySize = 301,
    kCPIndexes = 303,
    kCPValChecks = 305,
    kCPRefIntChecks = 307,
    kCPRestructureVersion = 335,
    kCPAuxPasswords = 345,
    kCPProtected = 349,
    kCPLanguageDriver = 353,
    kCPBlockSize = 387,
};

// The progress buffers the library fills before each report.
inline constexpr uint16_t kTUVerifyBufferSize = 268;  // 0 value, 2 message, 263 phase,
                                                      // 264 index word, 266 count word
inline constexpr uint16_t kTURebuildBufferSize = 130; // 0 int16 value, 2 message
