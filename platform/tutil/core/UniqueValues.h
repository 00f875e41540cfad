// The values a unique index must hold once each: which indexes of the sidecar say so, and which
// rows repeat a value an earlier row holds. Verify reports those rows and rebuild sets them aside,
// so both count the same rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/IndexDefs.h"

namespace tutil {

// The unique indexes of fields whose repeats the key order check does not see: the
// secondary ones, and a primary key that ignores case (rows lie in the key's byte order,
// so "Apple" and "apple" need not be neighbours).
std::vector<const idp::IndexDef*> UniqueBeyondKeyOrder(const std::vector<idp::IndexDef>& indexes);

// The rows of a table handed in one by one, and those among them whose value for a unique
// index an earlier row holds, compared as the engine compares the index's keys. Rows in
// the index's order already (as for an index of the row number) are told apart as they
// come, while they are in the cache; others need a sort at the end: of the values packed
// into numbers as they come when they are short and exact (a row number is), else of the
// rows for an exact index, of their folded keys for one that ignores case.
class RepeatedValues {
  public:
    RepeatedValues(const idp::Schema& schema, const idp::IndexDef& index);
    const idp::IndexDef& Index() const { return index_; }
    void Reserve(size_t rows);
    void See(const uint8_t* row) {
        if (packed_) {
            const uint64_t v = Packed(row);
            if (!numbers_.empty() && numbers_.back() >= v)
                ascending_ = false;
            numbers_.push_back(v);
        } else if (!exact_) {
            hashes_.push_back(FoldedHash(row)); // while the row is in the cache
        } else if (ascending_ && !rows_.empty() && Compare(rows_.back(), row) >= 0) {
            ascending_ = false;
        }
        rows_.push_back(row);
    }
    const std::vector<const uint8_t*>& Rows() const { return rows_; }
    // Positions in Rows(), ascending.
    std::vector<size_t> Repeated() const;

  private:
    int Compare(const uint8_t* a, const uint8_t* b) const;
    // The fields' bytes read big-endian, text after its end as zeros: ordered as Compare.
    uint64_t Packed(const uint8_t* row) const;
    // A hash of the key the engine builds for the row, case folded.
    uint64_t FoldedHash(const uint8_t* row) const;

    const idp::Schema& schema_;
    const idp::IndexDef& index_;
    bool exact_;     // false when the index folds the case of a text field
    bool ascending_; // so far; false from the start when the index folds case
    bool packed_;    // exact, and the fields are eight bytes at the most
    std::vector<const uint8_t*> rows_;
    std::vector<uint64_t> numbers_; // when packed, each row's value as Packed gives it
    std::vector<uint64_t> hashes_;  // when folded, each row's FoldedHash
};

} // namespace tutil
