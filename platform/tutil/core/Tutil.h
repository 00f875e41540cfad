// The table utility's portable core: verification of a Paradox table's files against
// each other and against what the format allows, the error table it reports into, and
// the rebuild that salvages every readable row. Failures throw idp::EngineError.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tutil {

struct Finding {
    int16_t code;
    int16_t level;
    std::string message;
};

struct VerifyReport {
    int32_t level = 0;
    std::vector<Finding> findings;
};

// Reports during verify and rebuild; the DLL turns these into the engine's callback.
struct Progress {
    virtual void Verify(int percent, int phase, const std::string& msg, int index,
                        int indexCount) = 0;
    virtual void Rebuild(int percent, const std::string& msg) = 0;
    virtual ~Progress() = default;
};

// Option bits as the library's callers pass them.
constexpr uint32_t kAppendErrors = 0x01;
constexpr uint32_t kNoSecondary = 0x02;
constexpr uint32_t kNoWarnings = 0x04;
constexpr uint32_t kHeaderOnly = 0x08;
constexpr uint32_t kNoLock = 0x20;

// Reads the table's files only; never writes them.
VerifyReport VerifyTable(const std::string& tablePathWithoutExtension, uint32_t options,
                         Progress* progress);
// Writes the report as the error table (replacing one of that name), one row per finding.
void WriteErrorTable(const std::string& errTablePath, const VerifyReport& report);
// The same, adding the rows to an existing error table when append is set.
void WriteErrorTable(const std::string& errTablePath, const VerifyReport& report, bool append);

struct RebuildNames {
    std::string backup, keyViolations, problems; // paths without extension
};
struct RebuildReport {
    uint32_t kept = 0, keyViolations = 0, problems = 0;
};

// Rebuilds the table in place from every block of its file; the original files become the
// backup table. A failure leaves the original or the backup whole.
RebuildReport RebuildTable(const std::string& tablePathWithoutExtension, const RebuildNames& names,
                           bool pack, Progress* progress);

} // namespace tutil
