// The tagline table's layout, the one definition that the program, the starter-table
// builder, the benchmarks and the tests all create tables from: TagText (alpha 255,
// required) and Record (autoincrement), with "Tag" (primary, unique, case ignored) on
// TagText and "RecNo" (unique) on Record. Engine descriptors only, so that tools built
// on the bare engine can use it too.
#pragma once

#include "platform/idapi/idapi.h"

#include <cstdint>

namespace tagline {

inline constexpr uint16_t kFieldCount = 2;
inline constexpr IdpFieldDesc kFields[kFieldCount] = {{"TagText", IDP_FLD_ALPHA, 255, 1},
                                                      {"Record", IDP_FLD_AUTOINC, 0, 1}};

inline constexpr uint16_t kIndexCount = 2;
inline constexpr IdpIndexDesc kIndexes[kIndexCount] = {
    {"Tag", "TagText", IDP_IDX_PRIMARY | IDP_IDX_UNIQUE | IDP_IDX_CASE_INSENSITIVE},
    {"RecNo", "Record", IDP_IDX_UNIQUE}};
inline constexpr const IdpIndexDesc& kTagIndex = kIndexes[0];
inline constexpr const IdpIndexDesc& kRecNoIndex = kIndexes[1];

} // namespace tagline
