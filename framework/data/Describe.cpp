// Table descriptions read through the engine in two calls (counts, then contents), and
// names copied into the engine's fixed-size buffers.
#include "framework/data/Describe.h"

#include "framework/data/DBErrors.h"

#include <algorithm>

namespace fw {

void DescribeTable(const std::string& path, std::vector<IdpFieldDesc>* fields,
                   std::vector<IdpIndexDesc>* indexes) {
    uint16_t fieldCount = 0;
    uint16_t indexCount = 0;
    CheckCall(idpDescribeTable(path.c_str(), nullptr, 0, &fieldCount, nullptr, 0, &indexCount));
    std::vector<IdpFieldDesc> f(fieldCount);
    std::vector<IdpIndexDesc> x(indexCount);
    CheckCall(idpDescribeTable(path.c_str(), f.data(), fieldCount, &fieldCount, x.data(),
                               indexCount, &indexCount));
    // The file may have changed between the two reads: keep only what was filled.
    f.resize(std::min<std::size_t>(f.size(), fieldCount));
    x.resize(std::min<std::size_t>(x.size(), indexCount));
    if (fields)
        *fields = std::move(f);
    if (indexes)
        *indexes = std::move(x);
}

void CopyEngineName(char* buffer, std::size_t size, const std::string& name) {
    if (name.size() >= size)
        DatabaseErrorFmt("Name '%s' is too long", name);
    std::memcpy(buffer, name.c_str(), name.size() + 1);
}

} // namespace fw
