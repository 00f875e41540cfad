// Verify, then rebuild, any bytes as a table.
#include "VerifyAndRebuild.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string_view>

#include "core/IndexDefs.h"
#include "core/Status.h"
#include "core/TableImage.h"
#include "core/TablePath.h"
#include "core/Tutil.h"
#include "idapi.h"

namespace tutilfuzz {

namespace {

constexpr std::string_view kPxMarker = "QTPX";

void RemoveTable(const std::string& db) {
    for (const std::string& f : idp::ExistingCompanions(db))
        std::remove(f.c_str());
    std::remove(db.c_str());
}

// A sidecar declaring a unique secondary index on one field, chosen by the input's size
// (case folded for some), so that the unique values are checked and repaired too.
void DeclareUniqueIndex(const std::string& base, size_t size) {
    try {
        tutil::TableImage image = tutil::TableImage::Read(base, false);
        const idp::Schema& s = image.Header().schema;
        const idp::Field& f = s.fields[size % s.fields.size()];
        idp::IndexDef d;
        d.name = "Unique";
        d.fieldText = f.name;
        d.options =
            static_cast<uint16_t>(IDP_IDX_UNIQUE | (size % 3 ? 0 : IDP_IDX_CASE_INSENSITIVE));
        idp::SaveIndexes(idp::CompanionPath(image.DbPath(), "QIX"), s, {d});
    } catch (const idp::EngineError&) {
        // Not a table whose fields can be named: verify says so without a sidecar.
    }
}

} // namespace

int VerifyAndRebuild(const uint8_t* data, size_t size, const std::string& dir) {
    const std::string base = dir + "/F", db = base + ".db";
    for (const char* name : {"/F.db", "/F_.db", "/K.db", "/P.db", "/E.db"})
        RemoveTable(dir + name);
    // Bytes after the first marker are the table's primary index, so that the .PX that
    // verify walks is as hostile as the .db.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t marker = input.find(kPxMarker);
    std::ofstream(db, std::ios::binary) << input.substr(0, marker);
    if (marker != std::string_view::npos)
        std::ofstream(idp::CompanionPath(db, "PX"), std::ios::binary)
            << input.substr(marker + kPxMarker.size());
    DeclareUniqueIndex(base, size);
    tutil::VerifyReport report = tutil::VerifyTable(base, 0, nullptr);
    tutil::WriteErrorTable(dir + "/E", report);
    if (report.level == 0 || report.level > 2)
        return report.level;
    try {
        tutil::RebuildTable(base, {dir + "/F_", dir + "/K", dir + "/P"}, size % 2 == 0, nullptr);
    } catch (const idp::EngineError& e) {
        // Only a table too large for the format may be refused at these levels.
        if (e.Status() != IDP_ERR_TABLE_FULL) {
            std::fprintf(stderr, "Rebuild refused a level-%d table: %s\n", report.level, e.what());
            std::abort();
        }
        return report.level;
    }
    tutil::VerifyReport after = tutil::VerifyTable(base, 0, nullptr);
    if (after.level != 0) {
        std::fprintf(stderr, "Rebuilt table verifies at level %d: %s\n", after.level,
                     after.findings.empty() ? "" : after.findings[0].message.c_str());
        std::abort();
    }
    return report.level;
}

} // namespace tutilfuzz
