// Sorted runs of index entries (see IndexOrder.h). A run splits in two when it grows past
// twice its usual length and goes when it empties; only then are the running totals over
// the runs worked out again.
#include "IndexOrder.h"

#include <algorithm>

namespace idp {

namespace {

constexpr size_t kRunLength = 64;

} // namespace

// Below zero when a comes before the entry (head, key, row).
int IndexOrder::Compare(const Entry& a, const KeyHead& head, std::string_view key,
                        std::string_view row) const {
    int c = a.head < head ? -1 : a.head > head ? 1 : a.Key().compare(key);
    if (c != 0)
        return (c < 0) != descending_ ? -1 : 1;
    return a.Row().compare(row);
}

bool IndexOrder::Before(const Entry& a, const Entry& b) const {
    return Compare(a, b.head, b.Key(), b.Row()) < 0;
}

void IndexOrder::Assign(std::vector<Entry> entries) {
    std::sort(entries.begin(), entries.end(),
              [&](const Entry& a, const Entry& b) { return Before(a, b); });
    runs_.clear();
    for (size_t i = 0; i < entries.size(); i += kRunLength) {
        size_t end = std::min(entries.size(), i + kRunLength);
        runs_.emplace_back(std::make_move_iterator(entries.begin() + static_cast<long>(i)),
                           std::make_move_iterator(entries.begin() + static_cast<long>(end)));
    }
    size_ = entries.size();
    lastHeads_.clear();
    for (const auto& run : runs_)
        lastHeads_.push_back(run.back().head);
    startsValid_ = false;
}

void IndexOrder::Recount() const {
    starts_.Assign(runs_.size(), [&](size_t i) { return static_cast<uint32_t>(runs_[i].size()); });
    startsValid_ = true;
}

IndexOrder::Spot IndexOrder::LowerBound(const KeyHead& head, std::string_view key,
                                        std::string_view row) const {
    auto notBefore = [&](const Entry& e) { return Compare(e, head, key, row) >= 0; };
    // The first run whose last entry is not before the one sought; the runs' last heads
    // decide without a visit to the run unless they equal the head sought.
    size_t lo = 0, hi = runs_.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        const KeyHead& last = lastHeads_[mid];
        if (last != head ? (last > head) != descending_ : notBefore(runs_[mid].back()))
            hi = mid;
        else
            lo = mid + 1;
    }
    if (lo == runs_.size())
        return {lo, 0};
    const auto& run = runs_[lo];
    auto it =
        std::partition_point(run.begin(), run.end(), [&](const Entry& e) { return !notBefore(e); });
    return {lo, static_cast<size_t>(it - run.begin())};
}

void IndexOrder::Insert(Entry entry) {
    ++size_;
    if (runs_.empty()) {
        lastHeads_.push_back(entry.head);
        runs_.emplace_back().push_back(std::move(entry));
        startsValid_ = false;
        return;
    }
    Spot s = LowerBound(entry.head, entry.Key(), entry.Row());
    if (s.run == runs_.size()) { // after every entry: the end of the last run
        s.run = runs_.size() - 1;
        s.at = runs_.back().size();
    }
    auto& run = runs_[s.run];
    run.insert(run.begin() + static_cast<long>(s.at), std::move(entry));
    if (run.size() > 2 * kRunLength) {
        std::vector<Entry> upper(std::make_move_iterator(run.begin() + kRunLength),
                                 std::make_move_iterator(run.end()));
        run.resize(kRunLength);
        lastHeads_.insert(lastHeads_.begin() + static_cast<long>(s.run) + 1, upper.back().head);
        runs_.insert(runs_.begin() + static_cast<long>(s.run) + 1, std::move(upper));
        startsValid_ = false;
    } else if (startsValid_) {
        starts_.Add(s.run, 1);
    }
    lastHeads_[s.run] = runs_[s.run].back().head;
}

bool IndexOrder::Locate(const Entry& entry, Spot& s) const {
    s = LowerBound(entry.head, entry.Key(), entry.Row());
    return s.run < runs_.size() && runs_[s.run][s.at].text == entry.text &&
           runs_[s.run][s.at].keyLength == entry.keyLength;
}

bool IndexOrder::Erase(const Entry& entry) {
    Spot s;
    if (!Locate(entry, s))
        return false;
    EraseSpot(s);
    return true;
}

bool IndexOrder::EraseAt(size_t rank, const Entry& entry) {
    if (rank >= size_)
        return false;
    if (!startsValid_)
        Recount();
    uint32_t offset = 0;
    Spot s;
    s.run = starts_.Find(static_cast<uint32_t>(rank), offset);
    s.at = offset;
    const Entry& there = runs_[s.run][s.at];
    if (there.text != entry.text || there.keyLength != entry.keyLength)
        return false;
    EraseSpot(s);
    return true;
}

void IndexOrder::EraseSpot(Spot s) {
    auto& run = runs_[s.run];
    run.erase(run.begin() + static_cast<long>(s.at));
    --size_;
    if (run.empty()) {
        runs_.erase(runs_.begin() + static_cast<long>(s.run));
        lastHeads_.erase(lastHeads_.begin() + static_cast<long>(s.run));
        startsValid_ = false;
        return;
    }
    lastHeads_[s.run] = run.back().head;
    if (startsValid_)
        starts_.Add(s.run, -1);
}

bool IndexOrder::RankOf(const Entry& entry, size_t& rank) const {
    Spot s;
    if (!Locate(entry, s))
        return false;
    if (!startsValid_)
        Recount();
    rank = starts_.Before(s.run) + s.at;
    return true;
}

const IndexOrder::Entry& IndexOrder::At(size_t rank) const {
    if (!startsValid_)
        Recount();
    uint32_t offset = 0;
    size_t run = starts_.Find(static_cast<uint32_t>(rank), offset);
    return runs_[run][offset];
}

const IndexOrder::Entry* IndexOrder::FindKey(std::string_view key) const {
    Spot s = LowerBound(HeadOf(key), key, {});
    if (s.run == runs_.size() || runs_[s.run][s.at].Key() != key)
        return nullptr;
    return &runs_[s.run][s.at];
}

std::string IndexOrder::Check() const {
    if (lastHeads_.size() != runs_.size())
        return "the runs' last heads are not one a run";
    size_t total = 0;
    const Entry* prev = nullptr;
    for (size_t r = 0; r < runs_.size(); ++r) {
        if (runs_[r].empty() || runs_[r].size() > 2 * kRunLength)
            return "run " + std::to_string(r) + " holds " + std::to_string(runs_[r].size());
        if (lastHeads_[r] != runs_[r].back().head)
            return "run " + std::to_string(r) + " keeps another last head than its own";
        if (startsValid_ && starts_.Before(r) != total)
            return "run " + std::to_string(r) + " starts elsewhere than its totals say";
        for (const Entry& e : runs_[r]) {
            if (e.head != HeadOf(e.Key()))
                return "an entry keeps another head than its key's";
            if (prev && Before(e, *prev))
                return "the entries are out of order";
            prev = &e;
        }
        total += runs_[r].size();
    }
    return total == size_ ? std::string() : "the runs hold another number of entries than counted";
}

} // namespace idp
