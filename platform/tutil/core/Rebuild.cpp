// The rebuild: every block of the file scanned without trusting its links, the readable
// rows kept (keys unique), the others set aside, and the table written anew in place
// with its indexes, the original files kept as the backup table. New files are written
// under temporary names first, so that a failure leaves the original or the backup whole.
#include <algorithm>
#include <cstring>
#include <numeric>

#include "FileMoves.h"
#include "TableImage.h"
#include "TableWriter.h"
#include "Tutil.h"
#include "UniqueValues.h"
#include "core/CodePage.h"
#include "core/FieldCodec.h"
#include "core/FileLayout.h"
#include "core/IndexDefs.h"
#include "core/Os.h"
#include "core/Status.h"
#include "core/Table.h"
#include "core/TablePath.h"

namespace tutil {

namespace {

struct Salvage {
    std::vector<const uint8_t*> kept, keyViolations, problems;
    std::vector<uint16_t> fills; // rows kept from each source block, in scan order
    int64_t highestAutoInc = 0;
};

class Rebuilder {
  public:
    Rebuilder(const std::string& table, const RebuildNames& names, bool pack, Progress* progress)
        : table_(table), names_(names), pack_(pack), progress_(progress) {}

    RebuildReport Run() {
        const std::string db = idp::TableFilePath(table_);
        if (names_.backup.empty())
            throw idp::EngineError(IDP_ERR_BAD_PARAM, "The rebuild needs a backup table name.");
        if (idp::Table::Find(db))
            throw idp::EngineError(IDP_ERR_IN_USE, "Table: " + db);
        Message("Reading the table");
        image_ = TableImage::Read(table_, true);
        if (image_.Header().encrypted)
            throw idp::EngineError(IDP_ERR_PASSWORD,
                                   "Table: " + db +
                                       "\r\nPassword-protected tables cannot be rebuilt.");
        if (const int field = FieldNameWithControl(image_.Header().schema))
            throw idp::EngineError(IDP_ERR_DAMAGED, "Table: " + db + "\r\nThe name of field " +
                                                        std::to_string(field) +
                                                        " holds a control character.");
        // The sidecar is written anew from what the engine understands of the old one.
        schema_ = image_.Header().schema;
        indexes_ = idp::LoadIndexes(idp::CompanionPath(db, "QIX"), schema_);
        Scan();
        if (schema_.Keyed())
            SortAndSplitKeys();
        SplitUniqueValues();
        Message("Writing the table");
        WriteResults(db);
        Percent(100);
        RebuildReport r;
        r.kept = static_cast<uint32_t>(s_.kept.size());
        r.keyViolations = static_cast<uint32_t>(s_.keyViolations.size());
        r.problems = static_cast<uint32_t>(s_.problems.size());
        return r;
    }

  private:
    void Message(const std::string& m) {
        if (progress_)
            progress_->Rebuild(-1, m);
    }
    void Percent(int p) {
        if (progress_)
            progress_->Rebuild(p, "");
    }

    // The chain's blocks first, as far as it can be followed, so the file order of the
    // rows stays; then every other block that holds rows, by number.
    std::vector<uint16_t> ScanOrder() const {
        std::vector<uint16_t> order;
        std::vector<bool> seen(size_t{image_.Blocks()} + 1, false);
        for (uint16_t n = image_.Header().firstBlock; n != 0 && n <= image_.Blocks() && !seen[n];
             n = image_.Next(n)) {
            seen[n] = true;
            order.push_back(n);
        }
        for (uint16_t n = 1; n <= image_.Blocks(); ++n)
            if (!seen[n])
                order.push_back(n);
        return order;
    }

    void Scan() {
        const RowCheck check(schema_);
        HighestNumber highest(schema_);
        const std::vector<uint16_t> order = ScanOrder();
        const size_t step = std::max<size_t>(1, order.size() / 100);
        for (size_t i = 0; i < order.size(); ++i) {
            if (i % step == 0)
                Percent(static_cast<int>(i * 90 / order.size()));
            bool exact = true;
            const uint16_t count = image_.Rows(order[i], exact);
            uint16_t kept = 0;
            for (uint16_t r = 0; r < count; ++r) {
                const uint8_t* row = image_.Row(order[i], r);
                if (!check.Sound(row)) {
                    s_.problems.push_back(row);
                    continue;
                }
                highest.See(row);
                s_.kept.push_back(row);
                ++kept;
            }
            if (kept)
                s_.fills.push_back(kept);
        }
        s_.highestAutoInc = highest.Value();
    }

    // Key order, the first row of each key kept (in scan order) and the others set aside.
    void SortAndSplitKeys() {
        const uint16_t keySize = image_.Header().schema.KeySize();
        auto less = [keySize](const uint8_t* a, const uint8_t* b) {
            return std::memcmp(a, b, keySize) < 0;
        };
        std::stable_sort(s_.kept.begin(), s_.kept.end(), less);
        std::vector<const uint8_t*> unique;
        unique.reserve(s_.kept.size());
        for (const uint8_t* row : s_.kept) {
            if (!unique.empty() && std::memcmp(unique.back(), row, keySize) == 0)
                s_.keyViolations.push_back(row);
            else
                unique.push_back(row);
        }
        s_.kept.swap(unique);
    }

    // The first row of each value of a unique index kept (in key order, or in
    // scan order for a table without a key), the others set aside as key violations.
    void SplitUniqueValues() {
        for (const idp::IndexDef* d : UniqueBeyondKeyOrder(indexes_)) {
            RepeatedValues values(schema_, *d);
            values.Reserve(s_.kept.size());
            for (const uint8_t* row : s_.kept)
                values.See(row);
            const std::vector<size_t> repeated = values.Repeated();
            if (repeated.empty())
                continue;
            std::vector<const uint8_t*> kept;
            kept.reserve(s_.kept.size() - repeated.size());
            for (size_t i = 0, next = 0; i < s_.kept.size(); ++i) {
                if (next < repeated.size() && repeated[next] == i) {
                    s_.keyViolations.push_back(s_.kept[i]);
                    ++next;
                } else {
                    kept.push_back(s_.kept[i]);
                }
            }
            s_.kept.swap(kept);
        }
    }

    TableContent ContentOf(std::vector<const uint8_t*> rows, std::vector<uint16_t> fills) const {
        TableContent c;
        c.header = image_.Header();
        // A code page no writer produces was read as ANSI, so that is what the table holds.
        if (!idp::KnownCodePage(c.header.schema.codePage)) {
            c.header.schema.codePage = idp::kAnsiCodePage;
            idp::PutU16(&c.header.raw[idp::layout::kCodePage], idp::kAnsiCodePage);
        }
        c.header.autoInc =
            std::max<int64_t>(c.header.autoInc, s_.highestAutoInc) > INT32_MAX
                ? INT32_MAX
                : static_cast<int32_t>(std::max<int64_t>(c.header.autoInc, s_.highestAutoInc));
        c.rows = std::move(rows);
        c.fills = std::move(fills);
        return c;
    }

    // A side table (key violations, problems) of the same structure, or none when it
    // would be empty; an old one of that name goes either way.
    void WriteSide(const std::string& name, const std::vector<const uint8_t*>& rows,
                   const std::string& mb) const {
        if (name.empty())
            return;
        const std::string db = idp::TableFilePath(name);
        RemoveTableFiles(db);
        if (rows.empty())
            return;
        WriteTableFiles(db, ContentOf(rows, {}));
        if (!mb.empty())
            CopyFile(mb, idp::CompanionPath(db, "MB"));
    }

    void WriteResults(const std::string& db) {
        const std::vector<std::string> originals = TableFiles(db);
        std::string mb;
        for (const std::string& f : originals)
            if (f.size() > 3 &&
                (f.compare(f.size() - 3, 3, ".mb") == 0 || f.compare(f.size() - 3, 3, ".MB") == 0))
                mb = f;
        // The new table under a temporary name beside the original.
        const std::string temp = idp::DirectoryOf(db) + "__TUREB.DB";
        RemoveTableFiles(temp);
        TableContent content = ContentOf(s_.kept, pack_ ? std::vector<uint16_t>{} : s_.fills);
        content.header.schema.fields = schema_.fields; // with the sidecar's required flags
        content.indexes = indexes_;
        try {
            WriteTableFiles(temp, std::move(content));
            if (!mb.empty())
                CopyFile(mb, idp::CompanionPath(temp, "MB"));
            Percent(95);
            WriteSide(names_.keyViolations, s_.keyViolations, mb);
            WriteSide(names_.problems, s_.problems, mb);
        } catch (...) {
            RemoveTableFiles(temp);
            throw;
        }
        // The backup is a whole copy before the original is touched; then the new files
        // take the original names, the .db last, so that a stop at any point leaves the
        // original or the backup whole.
        const std::string backup = idp::TableFilePath(names_.backup);
        if (idp::os::FileKey(backup) == idp::os::FileKey(db))
            throw idp::EngineError(IDP_ERR_BAD_PARAM, "The backup table cannot be the table.");
        RemoveTableFiles(backup);
        for (const std::string& f : originals)
            CopyFile(f, SameKindFor(f, backup));
        const std::vector<std::string> rebuilt = TableFiles(temp);
        std::vector<std::string> placed;
        for (auto f = rebuilt.rbegin(); f != rebuilt.rend(); ++f) {
            placed.push_back(idp::os::FileKey(SameKindFor(*f, db)));
            MoveFile(*f, SameKindFor(*f, db));
        }
        // Files of the original that the new table has no counterpart for are stale now.
        for (const std::string& f : originals)
            if (std::find(placed.begin(), placed.end(), idp::os::FileKey(f)) == placed.end())
                idp::os::RemoveFile(f);
    }

    std::string table_;
    RebuildNames names_;
    bool pack_;
    Progress* progress_;
    TableImage image_;
    idp::Schema schema_; // with the sidecar's required flags
    std::vector<idp::IndexDef> indexes_;
    Salvage s_;
};

} // namespace

RebuildReport RebuildTable(const std::string& table, const RebuildNames& names, bool pack,
                           Progress* progress) {
    return Rebuilder(table, names, pack, progress).Run();
}

} // namespace tutil
