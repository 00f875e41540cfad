// Unicode tables of the code pages a table header may declare.
#pragma once

#include <cstdint>

namespace idp {

extern const uint16_t kCp1252[128];
extern const uint16_t kCp437[128];
extern const uint16_t kCp850[128];
extern const uint16_t kCp852[128];
extern const uint16_t kCp1250[128];

} // namespace idp
