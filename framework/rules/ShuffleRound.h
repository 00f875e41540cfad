// The shuffle's round: every tagline once, in random order, before any repeats. Rows are
// known by their Record numbers, which a table never gives twice, so a round is one bit
// per number: shown in this round (or looked up and found deleted). Numbers above the
// round's end are rows added since, and join it unshown. The program and qtdb each keep
// a round in a file; this is the round and its bytes, with no file or table of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rules {

// What a round needs of the table it moves through.
class TShuffleTable {
  public:
    virtual std::uint32_t RowCount() = 0;
    // Orders the rows by Record; false when the table has no index on it.
    virtual bool OrderByRecord() = 0;
    // The Record number of the last row in Record order.
    virtual std::uint32_t LastRecord() = 0;
    // Moves to the row with that Record number; false when there is none.
    virtual bool GoToRecord(std::uint32_t number) = 0;
    // Moves to the row at a place (1-based) of the present order.
    virtual void GoToPlace(std::uint32_t place) = 0;

  protected:
    ~TShuffleTable() = default;
};

class TShuffleRound {
  public:
    // A new round of the table named `table` (its full path, as the caller spells it).
    explicit TShuffleRound(std::string table);
    // The round kept in `bytes` (from Bytes); a new round when they are damaged, cut
    // short, or were kept for another table.
    static TShuffleRound FromBytes(const std::string& bytes, const std::string& table);
    std::string Bytes() const;

    const std::string& Table() const { return table_; }
    // The number shown last; 0 before the first.
    std::uint32_t Last() const { return last_; }

    // Moves the table to the next tagline of the round, drawn uniformly among the rows
    // not shown in this round, with `seed` (RandomPick's generator) advanced by each draw.
    // When every row has been shown a new round begins, whose first tagline is not the
    // last one of the round before (unless it is the only row). Returns the number shown;
    // 0 when no row can be found (an empty table).
    std::uint32_t Move(std::uint32_t& seed, TShuffleTable& table);

  private:
    // The draw over the numbers 1..count; `exists` looks a number up, and the caller's
    // table stands on that row when it says yes. A number without a row is marked as if
    // shown and the draw goes on.
    std::uint32_t Next(std::uint32_t& seed, std::uint32_t count,
                       const std::function<bool(std::uint32_t)>& exists);
    // The k-th (0-based) number not shown, and how many numbers below `number` are not.
    std::uint32_t Unshown(std::uint32_t k) const;
    std::uint32_t UnshownBelow(std::uint32_t number) const;
    bool Shown(std::uint32_t number) const;
    std::uint32_t ShownCount() const;

    std::string table_;
    std::uint32_t last_ = 0;
    std::uint32_t numbers_ = 0;        // the round covers 1..numbers_
    std::vector<std::uint64_t> shown_; // bit n - 1 for number n
};

} // namespace rules
