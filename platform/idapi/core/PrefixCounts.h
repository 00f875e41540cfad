// Running totals over a sequence of counts (a Fenwick tree): the total before an item, the
// item that holds a position, and a change of one count, each in logarithmic time. The
// table uses it for the first row of each block, so that a row's position follows a
// change without a pass over the blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace idp {

class PrefixCounts {
  public:
    // Starts over with the counts count(0) ... count(n - 1), in linear time.
    template <class CountOf> void Assign(size_t n, CountOf count) {
        tree_.assign(n + 1, 0);
        for (size_t i = 1; i <= n; ++i) {
            tree_[i] += count(i - 1);
            size_t parent = i + (i & (~i + 1));
            if (parent <= n)
                tree_[parent] += tree_[i];
        }
    }
    size_t Size() const { return tree_.empty() ? 0 : tree_.size() - 1; }
    void Add(size_t item, int64_t delta) {
        for (size_t i = item + 1; i < tree_.size(); i += i & (~i + 1))
            tree_[i] = static_cast<uint32_t>(tree_[i] + delta);
    }
    // The sum of the counts of the items before item.
    uint32_t Before(size_t item) const {
        uint32_t sum = 0;
        for (size_t i = item; i > 0; i -= i & (~i + 1))
            sum += tree_[i];
        return sum;
    }
    // The item that holds position pos (below the total), and pos's offset within it.
    size_t Find(uint32_t pos, uint32_t& offset) const {
        size_t item = 0;
        size_t step = 1;
        while (step * 2 < tree_.size())
            step *= 2;
        for (; step > 0; step /= 2)
            if (item + step < tree_.size() && tree_[item + step] <= pos) {
                item += step;
                pos -= tree_[item];
            }
        offset = pos;
        return item;
    }

  private:
    std::vector<uint32_t> tree_; // 1-based: tree_[i] sums the counts of (i - lowbit(i), i]
};

} // namespace idp
