// The batch move. Each source row is converted field by field into a destination record;
// a value that does not fit makes the row a problem. In a keyed destination a row whose
// key is present is a key violation (append) or replaces that row, keeping its
// autoincrement number (append-update). New rows are gathered and added together at the
// end, and the destination is written once, so a large move does not rewrite blocks per
// row. Rows gathered before a failure are lost with it; the destination stays as it was.
#include "BatchMove.h"

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>

#include "Blob.h"
#include "Bytes.h"
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
            const size_t length = TextLength(sp, sf.width);
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

// The rows a move has gathered, found again by a key: slots of row numbers by the key's
// hash, the key worked out again from the gathered row only where hashes meet, so that a
// move of many rows keeps no copy of their keys.
class GatheredKeys {
  public:
    // The gathered row whose key (keyOf(row)) is key; -1 when there is none.
    template <class KeyOf> long Find(std::string_view key, KeyOf keyOf) const {
        if (slots_.empty())
            return -1;
        const uint32_t hash = Hash(key);
        for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
            const uint64_t slot = slots_[i];
            if (slot == 0)
                return -1;
            const uint32_t row = static_cast<uint32_t>(slot) - 1;
            if (static_cast<uint32_t>(slot >> 32) == hash && keyOf(row) == key)
                return static_cast<long>(row);
        }
    }
    void Add(std::string_view key, uint32_t row) {
        if ((count_ + 1) * 2 > slots_.size())
            Grow();
        Place(Hash(key), row);
        ++count_;
    }

  private:
    static uint32_t Hash(std::string_view key) {
        const uint64_t h = std::hash<std::string_view>{}(key);
        return static_cast<uint32_t>(h ^ (h >> 32));
    }
    void Place(uint32_t hash, uint32_t row) {
        size_t i = hash & mask_;
        while (slots_[i] != 0)
            i = (i + 1) & mask_;
        slots_[i] = uint64_t{hash} << 32 | (row + 1u);
    }
    void Grow() {
        std::vector<uint64_t> old = std::move(slots_);
        slots_.assign(std::max<size_t>(64, old.size() * 2), 0);
        mask_ = slots_.size() - 1;
        for (uint64_t slot : old)
            if (slot != 0)
                Place(static_cast<uint32_t>(slot >> 32), static_cast<uint32_t>(slot) - 1);
    }

    std::vector<uint64_t> slots_; // hash << 32 | row + 1; 0 is an empty slot
    size_t mask_ = 0;
    size_t count_ = 0;
};

// Whether every row of from goes into to byte for byte but for its autoincrement number:
// one layout and primary key, fields whose move is a copy, no blobs, one character set.
bool RowsCopy(const Table& from, const Table& to) {
    const Schema& a = from.GetSchema();
    const Schema& b = to.GetSchema();
    if (!a.Keyed() || a.keyFields != b.keyFields || a.codePage != b.codePage ||
        a.recordSize != b.recordSize || a.fields.size() != b.fields.size())
        return false;
    int numbered = 0;
    for (size_t i = 0; i < a.fields.size(); ++i) {
        const Field &fa = a.fields[i], &fb = b.fields[i];
        if (fa.type != fb.type || fa.width != fb.width)
            return false;
        switch (fa.type) {
        case IDP_FLD_AUTOINC:
            ++numbered;
            break;
        case IDP_FLD_ALPHA:
        case IDP_FLD_DATE:
        case IDP_FLD_TIME:
        case IDP_FLD_TIMESTAMP:
        case IDP_FLD_LOGICAL:
        case IDP_FLD_SHORT:
        case IDP_FLD_LONG:
            break;
        default:
            return false;
        }
    }
    return numbered <= 1;
}

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
    const bool keyed = ds.Keyed();
    const bool primaryFolds = keyed && to.Indexes()[0].CaseInsensitive();
    const size_t rs = ds.recordSize;
    std::vector<GatheredKeys> pendingKeys(to.Indexes().size());
    GatheredKeys pendingPrimary;
    std::string scratchKey;
    auto keyOfPending = [&](size_t index) {
        return [&, index](uint32_t row) {
            to.IndexKeyInto(&pending[row * rs], to.Indexes()[index], scratchKey);
            return std::string_view(scratchKey);
        };
    };
    auto primaryOfPending = [&](uint32_t row) {
        if (primaryFolds)
            return keyOfPending(0)(row);
        return std::string_view(reinterpret_cast<const char*>(&pending[row * rs]), ds.KeySize());
    };
    to.PrepareForChanges();
    if (to.RowCount() == 0 && RowsCopy(from, to)) {
        // Into an empty table of the same layout the rows go as they are, numbered in the
        // source's order as a move row by row numbers them.
        const std::vector<uint32_t>* ranks =
            source.InFileOrder() ? nullptr : &from.Ranks(source.OrderIndex());
        if (to.CopyFrom(from, [ranks](uint32_t seq) { return ranks ? (*ranks)[seq] : seq; })) {
            counts.read = counts.moved = from.RowCount();
            flush.Run();
            source.Last();
            destination.Rewind();
            return;
        }
    }
    pending.reserve(size_t{from.RowCount()} * rs);
    // Changes of the destination begin with the first row; the source's blocks are all
    // checked before it, so that no block found to disagree makes the move start again on
    // top of them.
    to.PrepareForManyRows();
    from.Verify();
    // Kept from row to row: a move of many rows allocates only for the rows it adds.
    std::vector<std::string> keys;
    std::string exactPrimary;
    auto move = [&](const uint8_t* row) {
        ++counts.read;
        if (!convert.Row(row, record)) {
            ++counts.problems;
            problems.Add(row);
            if (options.abortOnProblem)
                throw EngineError(IDP_ERR_ABORTED,
                                  "Problem in record " + std::to_string(counts.read));
            return;
        }
        bool violation = false;
        to.UniqueKeysInto(record.data(), keys);
        // A folding primary index has its key among the unique keys; an exact one is the bytes.
        if (!primaryFolds)
            exactPrimary.assign(reinterpret_cast<const char*>(record.data()), ds.KeySize());
        const std::string& primary = primaryFolds ? keys[0] : exactPrimary;
        long twin = -1;
        if (std::optional<uint32_t> existing = to.FindByPrimary(record.data(), &keys)) {
            violation = !update;
            if (update) {
                std::vector<uint8_t> old(to.RowAt(*existing), to.RowAt(*existing) + rs);
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
        } else if (keyed && (twin = pendingPrimary.Find(primary, primaryOfPending)) >= 0) {
            violation = !update;
            if (update) { // replaces a row this move added
                uint8_t* old = &pending[static_cast<size_t>(twin) * rs];
                changed.Add(old);
                NumberRow(to, record, old);
                std::memcpy(old, record.data(), rs);
                ++counts.changed;
                ++counts.moved;
            }
        } else {
            violation = !to.UniqueClash(keys).empty();
            for (size_t i = primaryFolds ? 1 : 0; i < keys.size() && !violation; ++i)
                violation = !keys[i].empty() && pendingKeys[i].Find(keys[i], keyOfPending(i)) >= 0;
            if (!violation) {
                const uint32_t index = static_cast<uint32_t>(pending.size() / rs);
                NumberRow(to, record, nullptr);
                pending.insert(pending.end(), record.begin(), record.end());
                for (size_t i = primaryFolds ? 1 : 0; i < keys.size(); ++i)
                    if (!keys[i].empty())
                        pendingKeys[i].Add(keys[i], index);
                if (keyed)
                    pendingPrimary.Add(primary, index);
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
    };
    if (source.InFileOrder()) {
        // A pass over the source's blocks that keeps none of them: an import's scratch
        // table is read once and need not stay.
        const size_t sourceSize = from.GetSchema().recordSize;
        from.ForEachBlock([&](size_t, const uint8_t* rows, uint16_t count) {
            for (uint16_t r = 0; r < count; ++r)
                move(rows + r * sourceSize);
            return true;
        });
        source.Last();
    } else {
        for (bool more = source.First(); more; more = source.Next())
            move(source.Row());
    }
    std::vector<GatheredKeys>().swap(pendingKeys); // the rows go in without them
    pendingPrimary = GatheredKeys();
    to.AddMany(pending);
    flush.Run();
    destination.Rewind();
}

} // namespace idp
