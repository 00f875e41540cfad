// The entry points of TUTIL32.DLL as the program resolves them by name at run time, with
// the types its public header gives them.
#pragma once

#include "platform/tutil/tutil.h"

#include <cstddef>

using TURebuildDescriptor = TURebuildDesc;

struct TUtilEntries {
    decltype(&::TUInit) Init;
    decltype(&::TUVerifyTable) VerifyTable;
    decltype(&::TURebuildTable) RebuildTable;
    decltype(&::TUGetCRTblDescCount) GetCRTblDescCount;
    decltype(&::TUFillCRTblDesc) FillCRTblDesc;
    decltype(&::TUFillCURProps) FillCURProps;
    decltype(&::TUExit) Exit;
    decltype(&::TUGetErrorString) GetErrorString; // resolved, never called
};

// The element sizes of the descriptor's seven arrays, in their order.
inline constexpr size_t kTUElementSizes[7] = {
    TU_FIELD_DESC_SIZE, TU_INDEX_DESC_SIZE, TU_SECURITY_DESC_SIZE, TU_VALCHECK_DESC_SIZE,
    TU_RI_DESC_SIZE,    TU_OPT_PARAM_SIZE,  TU_OPT_DATA_SIZE};
