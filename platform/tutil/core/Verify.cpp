// Verification: the header, the block chain, the rows, the .PX and the .QIX sidecar of a
// table checked against each other and against what the format allows. Reads only.
#include <algorithm>
#include <cstring>

#include "PrimaryIndexCheck.h"
#include "TableImage.h"
#include "Tutil.h"
#include "UniqueValues.h"
#include "core/CodePage.h"
#include "core/FieldCodec.h"
#include "core/FileLayout.h"
#include "core/IndexDefs.h"
#include "core/Os.h"
#include "core/Status.h"
#include "core/TablePath.h"

namespace tutil {

namespace {

// Findings past this many of one code are summed up in one last row.
constexpr size_t kMaxRowFindings = 20;

std::string ReadWhole(const std::string& path, bool& exists) {
    exists = idp::os::FileExists(path);
    if (!exists)
        return {};
    idp::os::File f = idp::os::File::Open(path, false, idp::os::Lock::None);
    std::string text(static_cast<size_t>(std::min<uint64_t>(f.Size(), 1u << 24)), '\0');
    text.resize(f.ReadAt(0, text.data(), text.size()));
    return text;
}

class Verifier {
  public:
    Verifier(const std::string& table, uint32_t options, Progress* progress)
        : table_(table), options_(options), progress_(progress) {}

    VerifyReport Run() {
        Report(kHeader, 0, "Checking the header");
        if (!ReadHeader())
            return Finish();
        Report(kHeader, 100, "Header checked");
        if ((options_ & kHeaderOnly) == 0 && !image_.Header().encrypted) {
            schema_ = image_.Header().schema;
            if ((options_ & kNoSecondary) == 0)
                indexes_ = idp::LoadIndexes(idp::CompanionPath(image_.DbPath(), "QIX"), schema_);
            WalkChain();
            CheckRows();
            CheckPrimaryIndex();
            if ((options_ & kNoSecondary) == 0)
                CheckSidecar();
        }
        return Finish();
    }

  private:
    // The phases the progress window has a gauge or line for.
    enum { kHeader = 0, kIndex, kData, kSecHeader, kSecIndex, kSecData, kIntegrity, kStatus };

    void Add(int16_t code, const std::string& message) {
        int16_t level = static_cast<int16_t>(code / 100);
        report_.level = std::max<int32_t>(report_.level, level);
        if (level == 1 && (options_ & kNoWarnings))
            return;
        report_.findings.push_back({code, level, message});
    }

    void Report(int phase, int value, const std::string& msg, int index = 0, int count = 0) {
        if (progress_)
            progress_->Verify(value, phase, msg, index, count);
    }

    VerifyReport Finish() {
        Report(kIntegrity, 100, "", 0, 0);
        Report(kStatus, 100,
               report_.level == 0 ? "No problems found"
                                  : "Problems found: level " + std::to_string(report_.level));
        return std::move(report_);
    }

    bool ReadHeader() {
        const std::string db = idp::TableFilePath(table_);
        try {
            image_ = TableImage::Read(table_, (options_ & kNoLock) == 0);
        } catch (const idp::EngineError& e) {
            switch (e.Status()) {
            case IDP_ERR_NO_SUCH_TABLE:
                Add(401, "The table's file " + db + " does not exist.");
                return false;
            case IDP_ERR_DAMAGED:
                Add(302, std::string("The field table of the header is damaged: ") + e.what());
                return false;
            case IDP_ERR_NOT_A_TABLE:
                Add(401, idp::os::FileExists(db) && ReadSize(db) == 0
                             ? "The table's file is empty."
                             : "The file is not a Paradox table, or its header is destroyed.");
                return false;
            default:
                throw;
            }
        }
        const idp::TableHeader& h = image_.Header();
        if (const int field = FieldNameWithControl(h.schema)) {
            Add(302, "The name of field " + std::to_string(field) + " holds a control character.");
            return false;
        }
        // The engine reads any other page's text as ANSI, which a rebuild then says.
        if (!idp::KnownCodePage(h.schema.codePage))
            Add(107, "The header declares code page " + std::to_string(h.schema.codePage) +
                         ", which no Paradox program writes.");
        if (h.encrypted) {
            Add(301, "The table is password-protected; only its header was checked.");
            return false;
        }
        if (image_.Truncated())
            Add(206, "The file ends inside block " + std::to_string(image_.Blocks()) + ".");
        if (h.fileBlocks != image_.Blocks())
            Add(102, "The header counts " + std::to_string(h.fileBlocks) +
                         " blocks, the file holds " + std::to_string(image_.Blocks()) + ".");
        return true;
    }

    static uint64_t ReadSize(const std::string& path) {
        return idp::os::File::Open(path, false, idp::os::Lock::None).Size();
    }

    void WalkChain() {
        const idp::TableHeader& h = image_.Header();
        std::vector<bool> seen(size_t{image_.Blocks()} + 1, false);
        uint16_t prev = 0;
        uint16_t n = h.firstBlock;
        uint64_t rows = 0;
        while (n != 0) {
            if (n > image_.Blocks()) {
                Add(201, "Block " + std::to_string(prev) + " links to block " + std::to_string(n) +
                             ", outside the file's " + std::to_string(image_.Blocks()) +
                             " blocks.");
                chainBroken_ = true;
                break;
            }
            if (seen[n]) {
                Add(202, "Block " + std::to_string(prev) + " links back to block " +
                             std::to_string(n) + ", which the chain has passed already.");
                chainBroken_ = true;
                break;
            }
            seen[n] = true;
            if (image_.Prev(n) != prev)
                Add(203, "Block " + std::to_string(n) + " links back to block " +
                             std::to_string(image_.Prev(n)) + " instead of " +
                             std::to_string(prev) + ".");
            bool exact = true;
            uint16_t count = image_.Rows(n, exact);
            if (!exact)
                Add(204, "The fill of block " + std::to_string(n) +
                             " runs past the block or is off a record boundary.");
            if (count == 0 && exact)
                Add(106, "Block " + std::to_string(n) + " is empty but linked into the chain.");
            chain_.push_back({n, count});
            rows += count;
            prev = n;
            n = image_.Next(n);
        }
        if (h.firstBlock == 0 && h.numRecords > 0)
            Add(210, "The header counts " + std::to_string(h.numRecords) +
                         " records but names no first block.");
        chainRows_ = rows;
        if (!chainBroken_ && rows != h.numRecords)
            Add(101, "The header counts " + std::to_string(h.numRecords) +
                         " records, the blocks hold " + std::to_string(rows) + ".");
        uint16_t used = 0; // the parsed header leaves this count out
        idp::ByteView(h.raw).U16(idp::layout::kUsedBlocks, used);
        if (!chainBroken_ && (h.lastBlock != prev || used != chain_.size()))
            Add(102, "The header's last block or used block count does not match the chain.");
        for (uint16_t b = 1; b <= image_.Blocks(); ++b) {
            bool exact = true;
            if (!seen[b] && image_.Rows(b, exact) > 0) {
                Add(205, "Block " + std::to_string(b) +
                             " holds rows but is not reachable through the chain.");
            }
        }
    }

    // Each row's values, the autoincrement counter, the key order and the values of the
    // unique indexes in one pass, while each block is in the cache.
    void CheckRows() {
        const uint16_t keySize = schema_.KeySize();
        const RowCheck check(schema_);
        HighestNumber highest(schema_);
        for (const idp::IndexDef* d : UniqueBeyondKeyOrder(indexes_)) {
            unique_.emplace_back(schema_, *d);
            unique_.back().Reserve(static_cast<size_t>(chainRows_));
        }
        const uint8_t* before = nullptr;
        size_t badValues = 0, disorder = 0, twins = 0;
        const size_t step = std::max<size_t>(1, chain_.size() / 100);
        for (size_t i = 0; i < chain_.size(); ++i) {
            if (i % step == 0)
                Report(kData, static_cast<int>(i * 100 / chain_.size()), "");
            const uint16_t n = chain_[i].block;
            for (uint16_t r = 0; r < chain_[i].rows; ++r) {
                const uint8_t* row = image_.Row(n, r);
                // A row the rebuild sets aside for one fault is not counted for another.
                bool kept = check.Sound(row);
                if (!kept && ++badValues <= kMaxRowFindings)
                    Add(209, Where(n, r) + check.Fault(row));
                highest.See(row);
                if (keySize && before) {
                    int c = std::memcmp(before, row, keySize);
                    if (c > 0 && ++disorder <= kMaxRowFindings)
                        Add(207, Where(n, r) + "the key is below the previous row's.");
                    if (c == 0 && ++twins <= kMaxRowFindings)
                        Add(208, Where(n, r) + "the key is the previous row's.");
                    kept = kept && c != 0;
                }
                before = row;
                if (kept)
                    for (RepeatedValues& u : unique_)
                        u.See(row);
            }
        }
        if (badValues > kMaxRowFindings)
            Add(209, std::to_string(badValues) + " rows in all hold impossible values.");
        if (disorder > kMaxRowFindings)
            Add(207, std::to_string(disorder) + " rows in all are out of key order.");
        if (twins > kMaxRowFindings)
            Add(208, std::to_string(twins) + " rows in all repeat the previous row's key.");
        Report(kData, 100, "");
        if (highest.Any() && image_.Header().autoInc < highest.Value())
            Add(105, "The autoincrement counter is " + std::to_string(image_.Header().autoInc) +
                         ", below the highest value in the table, " +
                         std::to_string(highest.Value()) + ".");
    }

    static std::string Where(uint16_t block, uint16_t slot) {
        return "Block " + std::to_string(block) + ", row " + std::to_string(slot + 1) + ": ";
    }

    void CheckPrimaryIndex() {
        const idp::Schema& s = image_.Header().schema;
        if (!s.Keyed())
            return;
        Report(kIndex, 0, "Checking the primary index");
        const std::string px = idp::CompanionPath(image_.DbPath(), "PX");
        bool exists = false;
        std::string stored = ReadWhole(px, exists);
        if (!exists) {
            Add(103, "The primary index " + px + " is missing.");
        } else if (!chainBroken_) {
            std::vector<idp::IndexEntry> entries;
            entries.reserve(chain_.size());
            for (const Link& l : chain_)
                if (l.rows)
                    entries.push_back({image_.Row(l.block, 0), l.block, l.rows});
            const std::string fault = PrimaryIndexFault(
                s, reinterpret_cast<const uint8_t*>(stored.data()), stored.size(), entries);
            if (!fault.empty())
                Add(103, "The primary index " + px + " does not match the data: " + fault + ".");
        }
        Report(kIndex, 100, "");
    }

    // The sidecar's lines against what the engine understands of them.
    void CheckSidecar() {
        const std::string path = idp::CompanionPath(image_.DbPath(), "QIX");
        bool exists = false;
        std::string text = ReadWhole(path, exists);
        if (!exists)
            return;
        const std::vector<idp::IndexDef>& known = indexes_;
        const int count = static_cast<int>(known.size());
        Report(kSecHeader, 0, "Checking the index sidecar", 0, count);
        std::vector<std::string> lines;
        if (!idp::SidecarLines(text, lines))
            Add(104, "The index sidecar " + path + " does not start as one.");
        for (const std::string& line : lines) {
            if (line.empty() || line.rfind("required\t", 0) == 0)
                continue;
            std::string name;
            bool parsed = false;
            if (line.rfind("index\t", 0) == 0) {
                size_t a = line.find('\t', 6);
                size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
                parsed = b != std::string::npos;
                if (parsed)
                    name = line.substr(a + 1, b - a - 1);
            }
            bool found = parsed && std::any_of(known.begin(), known.end(),
                                               [&](const auto& d) { return d.name == name; });
            if (!found)
                Add(104,
                    "The index sidecar holds a line the table cannot use: " + line.substr(0, 100));
        }
        CheckUniqueValues(count);
        Report(kSecData, 100, "", count, count);
    }

    // Every value of a unique index held by one row only.
    void CheckUniqueValues(int count) {
        for (const RepeatedValues& u : unique_) {
            const idp::IndexDef& d = u.Index();
            Report(kSecIndex, 0, "Checking the index " + d.name,
                   static_cast<int>(&d - indexes_.data()), count);
            const std::vector<size_t> repeated = u.Repeated();
            for (size_t i = 0; i < repeated.size() && i < kMaxRowFindings; ++i) {
                uint16_t block = 0, slot = 0;
                image_.Locate(u.Rows()[repeated[i]], block, slot);
                Add(211, Where(block, slot) + "the unique index " + d.name +
                             " holds its value already.");
            }
            if (repeated.size() > kMaxRowFindings)
                Add(211, std::to_string(repeated.size()) +
                             " rows in all repeat a value of the "
                             "unique index " +
                             d.name + ".");
        }
    }

    std::string table_;
    uint32_t options_;
    Progress* progress_;
    TableImage image_;
    VerifyReport report_;
    idp::Schema schema_;                 // with the sidecar's required flags
    std::vector<idp::IndexDef> indexes_; // none when the sidecar is left alone
    struct Link {
        uint16_t block, rows;
    };
    std::vector<Link> chain_;
    uint64_t chainRows_ = 0;
    std::vector<RepeatedValues> unique_; // of the rows a rebuild keeps, in chain order
    bool chainBroken_ = false;
};

} // namespace

VerifyReport VerifyTable(const std::string& table, uint32_t options, Progress* progress) {
    return Verifier(table, options, progress).Run();
}

} // namespace tutil
