// The batch move. Each source row is converted field by field into a destination record;
// a value that does not fit makes the row a problem. In a keyed destination a row whose
// key is present is a key violation (append) or replaces that row, keeping its
// autoincrement number (append-update). New rows are gathered and added together at the
// end, and the destination is written once, so a large move does not rewrite blocks per
// row. Rows gathered before a failure are lost with it; the destination stays as it was.
#include "BatchMove.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "Blob.h"
#include "CodePage.h"
#include "FieldCodec.h"
#include "Status.h"
#include "TablePath.h"

namespace idp {

namespace {

// A side table, created (replacing an old one) when the first row goes to it.
class SideTable {
  public:
    SideTable(std::string name, const std::string& besideTable, const Schema& shape)
        : shape_(shape) {
        if (!name.empty()) {
            if (DirectoryOf(name).empty())
                name = DirectoryOf(besideTable) + name;
            path_ = TableFilePath(name);
        }
        shape_.keyFields = 0;
        for (Field& f : shape_.fields)
            f.required = false;
    }
    void Add(const uint8_t* record) {
        if (path_.empty())
            return;
        if (!table_) {
            Table::Create(path_, shape_, {});
            table_ = Table::Open(path_, false);
        }
        table_->Add(record);
    }
    void Finish() {
        if (table_)
            table_->Flush(true);
    }

  private:
    Schema shape_;
    std::string path_;
    std::shared_ptr<Table> table_;
};

struct Converter {
    Table& from;
    Table& to;

    // Text of a text field of the source, in the program's character set.
    std::string SourceText(const uint8_t* p, const Field& f) {
        std::string raw = f.type == IDP_FLD_ALPHA ? DecodeAlpha(p, f.width) : from.ReadBlob(p, f);
        return TableToAnsi(raw, from.GetSchema().codePage);
    }

    bool Number(const uint8_t* p, const Field& f, double& v) {
        if (IsIntegerType(f.type))
            v = static_cast<double>(DecodeInteger(p, f.width));
        else if (f.type == IDP_FLD_BCD)
            v = DecodeBcd(p);
        else if (f.type == IDP_FLD_NUMBER || f.type == IDP_FLD_CURRENCY)
            v = DecodeDouble(p);
        else
            return false;
        return true;
    }

    // Converts one field; false when the value cannot be stored.
    bool Field1(const uint8_t* sp, const Field& sf, uint8_t* dp, const Field& df) {
        if (df.type == IDP_FLD_AUTOINC)
            return true; // numbered by the destination
        if (IsBlankField(sp, sf))
            return true;
        if (sf.type == IDP_FLD_ALPHA && df.type == IDP_FLD_ALPHA &&
            from.GetSchema().codePage == to.GetSchema().codePage) { // the bytes as they are
            const void* nul = std::memchr(sp, 0, sf.width);
            size_t length =
                nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - sp) : sf.width;
            if (length > df.width)
                return false;
            std::memcpy(dp, sp, length);
            return true;
        }
        if (IsTextType(sf.type) && IsTextType(df.type)) {
            std::string text = AnsiToTable(SourceText(sp, sf), to.GetSchema().codePage);
            if (df.type == IDP_FLD_ALPHA) {
                if (text.size() > df.width)
                    return false;
                EncodeAlpha(dp, df.width, text);
                return true;
            }
            return EncodeLeaderBlob(dp, df, text);
        }
        double v = 0;
        if (Number(sp, sf, v)) {
            if (df.type == IDP_FLD_NUMBER || df.type == IDP_FLD_CURRENCY) {
                EncodeDouble(dp, v);
                return true;
            }
            if (df.type == IDP_FLD_BCD)
                return EncodeBcd(dp, v, df.size);
            if (IsIntegerType(df.type))
                return v == std::floor(v) && std::fabs(v) < 4e9 &&
                       EncodeInteger(dp, df.width, static_cast<int64_t>(v));
            return false;
        }
        if (IsDateTimeType(sf.type) && IsDateTimeType(df.type)) {
            if (sf.type == df.type) {
                std::memcpy(dp, sp, df.width);
                return true;
            }
            return sf.type == IDP_FLD_DATE && df.type == IDP_FLD_TIMESTAMP &&
                   EncodeDateTime(dp, df.type, DecodeDateTime(sp, sf.type));
        }
        if (sf.type == IDP_FLD_LOGICAL && df.type == IDP_FLD_LOGICAL) {
            dp[0] = sp[0];
            return true;
        }
        if ((sf.type == IDP_FLD_BYTES || IsBlobType(sf.type)) &&
            (df.type == IDP_FLD_BYTES || (IsBlobType(df.type) && !IsTextType(df.type)))) {
            std::string bytes = sf.type == IDP_FLD_BYTES
                                    ? std::string(reinterpret_cast<const char*>(sp), sf.width)
                                    : from.ReadBlob(sp, sf);
            if (df.type == IDP_FLD_BYTES) {
                if (bytes.size() > df.width)
                    return false;
                std::memcpy(dp, bytes.data(), bytes.size());
                return true;
            }
            return EncodeLeaderBlob(dp, df, bytes);
        }
        return false;
    }

    bool Row(const uint8_t* src, std::vector<uint8_t>& dst) {
        const Schema& ss = from.GetSchema();
        const Schema& ds = to.GetSchema();
        std::fill(dst.begin(), dst.end(), 0);
        size_t n = ss.fields.size() < ds.fields.size() ? ss.fields.size() : ds.fields.size();
        for (size_t i = 0; i < n; ++i) {
            const Field& sf = ss.fields[i];
            const Field& df = ds.fields[i];
            if (!Field1(src + sf.offset, sf, dst.data() + df.offset, df))
                return false;
        }
        for (const Field& f : ds.fields)
            if (f.required && f.type != IDP_FLD_AUTOINC && IsBlankField(&dst[f.offset], f))
                return false;
        return true;
    }
};

void NumberRow(Table& to, std::vector<uint8_t>& record, const uint8_t* keepFrom) {
    for (const Field& f : to.GetSchema().fields)
        if (f.type == IDP_FLD_AUTOINC) {
            if (keepFrom)
                std::memcpy(&record[f.offset], keepFrom + f.offset, 4);
            else
                EncodeInteger(&record[f.offset], 4, to.NextAutoInc());
        }
}

} // namespace

void BatchMove(Cursor& source, Cursor& destination, const MoveOptions& options,
               IdpMoveCounts& counts) {
    counts = {};
    if (source.State() != IDP_STATE_BROWSE || destination.State() != IDP_STATE_BROWSE)
        throw EngineError(IDP_ERR_IN_USE, "A table of the batch move has a pending edit.");
    Table& from = source.GetTable();
    Table& to = destination.GetTable();
    if (&from == &to)
        throw EngineError(IDP_ERR_BAD_PARAM, "A table cannot be moved into itself.");
    const Schema& ds = to.GetSchema();
    SideTable keyViol(options.keyViolTable, to.Path(), ds);
    SideTable problems(options.problemTable, to.Path(), from.GetSchema());
    SideTable changed(options.changedTable, to.Path(), ds);
    Converter convert{from, to};
    std::vector<uint8_t> record(ds.recordSize);
    bool update = options.mode == IDP_MOVE_APPEND_UPDATE;
    // Flush what was moved, whatever happens, so rows moved before a failure stay.
    struct FlushAtEnd {
        Table& to;
        SideTable *a, *b, *c;
        bool done = false;
        void Run() {
            done = true;
            to.Flush(true);
            a->Finish();
            b->Finish();
            c->Finish();
        }
        ~FlushAtEnd() {
            if (!done)
                try {
                    Run();
                } catch (const EngineError&) {
                    // The move's own failure is the one reported.
                }
        }
    } flush{to, &keyViol, &problems, &changed};

    // Rows new to the destination wait here and go in together at the end; their keys
    // (one set per unique index, and the primary key) catch clashes among them.
    std::vector<uint8_t> pending;
    std::vector<std::unordered_map<std::string, size_t>> pendingKeys(to.Indexes().size());
    std::unordered_map<std::string, size_t> pendingPrimary;
    const bool keyed = ds.Keyed();
    const bool primaryFolds = keyed && to.Indexes()[0].CaseInsensitive();
    pending.reserve(size_t{from.RowCount()} * ds.recordSize);
    pendingPrimary.reserve(keyed ? from.RowCount() : 0);
    to.PrepareForManyRows();
    // Kept from row to row: a move of many rows allocates only for the rows it adds.
    std::vector<uint8_t> srcRecord;
    std::vector<std::string> keys;
    std::string exactPrimary;
    for (bool more = source.First(); more; more = source.Next()) {
        ++counts.read;
        const uint8_t* row = source.Row();
        srcRecord.assign(row, row + from.GetSchema().recordSize);
        if (!convert.Row(srcRecord.data(), record)) {
            ++counts.problems;
            problems.Add(srcRecord.data());
            if (options.abortOnProblem)
                throw EngineError(IDP_ERR_ABORTED,
                                  "Problem in record " + std::to_string(counts.read));
            continue;
        }
        bool violation = false;
        to.UniqueKeysInto(record.data(), keys);
        // A folding primary index has its key among the unique keys; an exact one is the bytes.
        if (!primaryFolds)
            exactPrimary.assign(reinterpret_cast<const char*>(record.data()), ds.KeySize());
        const std::string& primary = primaryFolds ? keys[0] : exactPrimary;
        if (std::optional<uint32_t> existing = to.FindByPrimary(record.data(), &keys)) {
            violation = !update;
            if (update) {
                std::vector<uint8_t> old(to.RowAt(*existing), to.RowAt(*existing) + ds.recordSize);
                NumberRow(to, record, old.data());
                try {
                    to.Update(*existing, record.data());
                    changed.Add(old.data());
                    ++counts.changed;
                    ++counts.moved;
                } catch (const EngineError& e) {
                    if (e.Status() != IDP_ERR_KEY_VIOLATION)
                        throw;
                    violation = true; // a secondary unique index refused it
                }
            }
        } else if (auto twin = keyed ? pendingPrimary.find(primary) : pendingPrimary.end();
                   twin != pendingPrimary.end()) {
            violation = !update;
            if (update) { // replaces a row this move added
                uint8_t* old = &pending[twin->second * ds.recordSize];
                changed.Add(old);
                NumberRow(to, record, old);
                std::memcpy(old, record.data(), ds.recordSize);
                ++counts.changed;
                ++counts.moved;
            }
        } else {
            violation = !to.UniqueClash(keys).empty();
            for (size_t i = primaryFolds ? 1 : 0; i < keys.size() && !violation; ++i)
                violation = !keys[i].empty() && pendingKeys[i].count(keys[i]);
            if (!violation) {
                size_t index = pending.size() / ds.recordSize;
                NumberRow(to, record, nullptr);
                pending.insert(pending.end(), record.begin(), record.end());
                for (size_t i = primaryFolds ? 1 : 0; i < keys.size(); ++i)
                    if (!keys[i].empty())
                        pendingKeys[i].emplace(keys[i], index);
                if (keyed)
                    pendingPrimary.emplace(primary, index);
                ++counts.moved;
            }
        }
        if (violation) {
            ++counts.keyViolations;
            keyViol.Add(record.data());
            if (options.abortOnKeyViol)
                throw EngineError(IDP_ERR_ABORTED,
                                  "Key violation in record " + std::to_string(counts.read));
        }
    }
    to.AddMany(pending);
    flush.Run();
    destination.Rewind();
}

} // namespace idp
