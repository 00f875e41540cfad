// The rows of a table in the order of one index, kept sorted as rows come and go: for
// each row its key for the index and the row's primary key, which tells rows with the
// same key apart in file order and finds the row again. Entries sit in short sorted runs
// with running totals over them, so an insertion, an erasure, a row's rank and the row at
// a rank each take time that grows with the logarithm of the rows (only a run that splits
// or goes costs a pass over the runs, which are a sixty-fourth of the rows), and a key
// lookup answers a uniqueness check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KeyHead.h"
#include "PrefixCounts.h"

namespace idp {

class IndexOrder {
  public:
    struct Entry {
        std::string text;       // the index key, then the row's primary key
        uint16_t keyLength = 0; // bytes of text that are the index key
        KeyHead head;           // of Key()
        std::string_view Key() const { return std::string_view(text).substr(0, keyLength); }
        std::string_view Row() const { return std::string_view(text).substr(keyLength); }
    };
    static KeyHead HeadOf(std::string_view key) {
        return KeyHead::Of(reinterpret_cast<const uint8_t*>(key.data()), key.size());
    }

    explicit IndexOrder(bool descending) : descending_(descending) {}
    // Starts over with these entries, in any order.
    void Assign(std::vector<Entry> entries);
    size_t Size() const { return size_; }
    void Insert(Entry entry);
    // False when the entry is not there; EraseAt when it is not at that rank.
    bool Erase(const Entry& entry);
    bool EraseAt(size_t rank, const Entry& entry);
    // The rank of an entry that is there; false when it is not.
    bool RankOf(const Entry& entry, size_t& rank) const;
    const Entry& At(size_t rank) const;
    // The first entry in order with this key, or null.
    const Entry* FindKey(std::string_view key) const;
    template <class F> void ForEach(F f) const {
        for (const auto& run : runs_)
            for (const Entry& e : run)
                f(e);
    }
    // Whether a comes before b: keys in the index's direction, then rows ascending.
    bool Before(const Entry& a, const Entry& b) const;
    // The first way in which the runs are not in order, or what is kept about them does
    // not match them; empty when all is well.
    std::string Check() const;

  private:
    struct Spot {
        size_t run = 0;
        size_t at = 0;
    };
    Spot LowerBound(const KeyHead& head, std::string_view key, std::string_view row) const;
    bool Locate(const Entry& entry, Spot& s) const;
    void EraseSpot(Spot s);
    int Compare(const Entry& a, const KeyHead& head, std::string_view key,
                std::string_view row) const;
    void Recount() const;

    bool descending_;
    size_t size_ = 0;
    std::vector<std::vector<Entry>> runs_;
    std::vector<KeyHead> lastHeads_; // the head of each run's last entry
    mutable PrefixCounts starts_;
    mutable bool startsValid_ = false;
};

} // namespace idp
