// The error table: one row per finding, as a Paradox table any reader can open.
#include <cstring>

#include "FileMoves.h"
#include "TableImage.h"
#include "TableWriter.h"
#include "Tutil.h"
#include "core/FieldCodec.h"
#include "core/Os.h"
#include "core/Status.h"
#include "core/TablePath.h"

namespace tutil {

namespace {

constexpr uint16_t kMessageWidth = 150;

idp::Field MakeField(const char* name, uint8_t type, uint16_t width) {
    idp::Field f;
    f.name = name;
    f.type = type;
    f.width = width;
    f.size = idp::DescribedSize(type, width);
    return f;
}

} // namespace

void WriteErrorTable(const std::string& errTablePath, const VerifyReport& report) {
    WriteErrorTable(errTablePath, report, false);
}

void WriteErrorTable(const std::string& errTablePath, const VerifyReport& report, bool append) {
    const std::string db = idp::TableFilePath(errTablePath);
    TableContent c;
    c.header = HeaderFor({MakeField("Error Code", IDP_FLD_SHORT, 2),
                          MakeField("Error Level", IDP_FLD_SHORT, 2),
                          MakeField("Error Message", IDP_FLD_ALPHA, kMessageWidth)},
                         idp::FileOf(db));
    const uint16_t rs = c.header.schema.recordSize;
    std::vector<uint8_t> rows;
    std::vector<size_t> earlier; // rows kept from the table being appended to
    TableImage old;
    if (append && idp::os::FileExists(db)) {
        old = TableImage::Read(db, true);
        if (old.Header().schema.recordSize != rs)
            throw idp::EngineError(IDP_ERR_BAD_DESCRIPTION,
                                   "Table: " + db + " is not an error table.");
        for (uint16_t n = old.Header().firstBlock, steps = 0; n != 0 && steps < old.Blocks();
             n = old.Next(n), ++steps) {
            bool exact = true;
            for (uint16_t r = 0, count = old.Rows(n, exact); r < count; ++r)
                c.rows.push_back(old.Row(n, r));
        }
    }
    rows.assign(report.findings.size() * rs, 0);
    for (size_t i = 0; i < report.findings.size(); ++i) {
        uint8_t* row = &rows[i * rs];
        const Finding& f = report.findings[i];
        idp::EncodeInteger(row, 2, f.code);
        idp::EncodeInteger(row + 2, 2, f.level);
        idp::EncodeAlpha(row + 4, kMessageWidth, f.message);
    }
    for (size_t i = 0; i < report.findings.size(); ++i)
        c.rows.push_back(&rows[i * rs]);
    // Build the new file beside the old one, so an old table the write fails on stays.
    const std::string temp = idp::DirectoryOf(db) + "__TUNEW.DB";
    WriteTableFiles(temp, std::move(c));
    RemoveTableFiles(db);
    MoveFile(temp, db);
}

} // namespace tutil
