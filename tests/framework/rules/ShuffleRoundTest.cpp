// The shuffle's round over a table kept as a set of Record numbers: every row once a
// round, across restarts, deletions, additions and a table made anew; rounds that never
// begin with the tagline the last one ended on; bytes that name their table and give a
// new round when damaged; and the random change that always changes.
#include "framework/rules/RandomPick.h"
#include "framework/rules/ShuffleRound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>
#include <vector>

namespace {

using Numbers = std::vector<std::uint32_t>;

// A table as a round sees it: rows named by their Record numbers.
class TFakeTable : public rules::TShuffleTable {
  public:
    std::set<std::uint32_t> records;
    bool indexed = true;  // has an index on Record
    std::uint32_t at = 0; // the Record number of the row it stands on

    void Fill(std::uint32_t from, std::uint32_t to) {
        for (std::uint32_t r = from; r <= to; ++r)
            records.insert(r);
    }
    std::uint32_t RowCount() override { return static_cast<std::uint32_t>(records.size()); }
    bool OrderByRecord() override { return indexed; }
    std::uint32_t LastRecord() override { return *records.rbegin(); }
    bool GoToRecord(std::uint32_t number) override {
        if (!records.count(number))
            return false;
        at = number;
        return true;
    }
    void GoToPlace(std::uint32_t place) override { at = *std::next(records.begin(), place - 1); }
};

class ShuffleRoundTest : public ::testing::Test {
  protected:
    // One change: the row it moved the table to.
    std::uint32_t Change() {
        const std::uint32_t shown = round.Move(seed, table);
        if (restartEveryChange)
            round = rules::TShuffleRound::FromBytes(round.Bytes(), kTable);
        return shown == 0 ? 0 : table.at;
    }
    Numbers Changes(size_t n) {
        Numbers shown;
        for (size_t i = 0; i < n; ++i)
            shown.push_back(Change());
        return shown;
    }
    // The rows not yet shown in this round, shown; they must be the table's rows less
    // `before`, each once.
    void FinishRound(const Numbers& before) {
        Numbers expected;
        std::set_difference(table.records.begin(), table.records.end(), before.begin(),
                            before.end(), std::back_inserter(expected));
        Numbers rest = Changes(expected.size());
        std::sort(rest.begin(), rest.end());
        EXPECT_EQ(rest, expected);
    }
    static Numbers Sorted(Numbers n) {
        std::sort(n.begin(), n.end());
        return n;
    }

    const std::string kTable = "c:\\taglines\\tags.db";
    rules::TShuffleRound round{kTable};
    TFakeTable table;
    std::uint32_t seed = 20261206;
    bool restartEveryChange = false;
};

TEST_F(ShuffleRoundTest, EveryRowOnceARoundAndNoRoundBeginsWhereTheLastEnded) {
    struct Case {
        std::uint32_t rows;
        bool indexed, restart;
    } cases[] = {{1, true, false},  {2, true, false},  {3, true, true},    {10, true, false},
                 {10, false, true}, {200, true, true}, {200, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.rows << " rows, indexed " << c.indexed << ", restarted " << c.restart);
        table = TFakeTable();
        table.Fill(1, c.rows);
        table.indexed = c.indexed;
        restartEveryChange = c.restart;
        round = rules::TShuffleRound(kTable);
        Numbers previous;
        for (int r = 0; r < 5; ++r) {
            const Numbers shown = Changes(c.rows);
            Numbers all(table.records.begin(), table.records.end());
            EXPECT_EQ(Sorted(shown), all);
            if (!previous.empty() && c.rows > 1) {
                EXPECT_NE(shown.front(), previous.back());
            }
            previous = shown;
        }
    }
    table = TFakeTable();
    EXPECT_EQ(Change(), 0u) << "an empty table";
}

TEST_F(ShuffleRoundTest, RowsAddedJoinTheRoundAndDeletedOnesAreSkipped) {
    table.Fill(1, 10);
    const Numbers shown = Sorted(Changes(4));
    // Two unshown rows and one shown row go; three rows come.
    Numbers unshown;
    std::set_difference(table.records.begin(), table.records.end(), shown.begin(), shown.end(),
                        std::back_inserter(unshown));
    table.records.erase(unshown[0]);
    table.records.erase(unshown[1]);
    table.records.erase(shown[0]);
    table.Fill(11, 13);
    FinishRound(shown);
    FinishRound({});

    // Most rows deleted, in a round of their own: the draws mostly land on deleted
    // numbers, which are skipped.
    round = rules::TShuffleRound(kTable);
    table.records = {2, 5, 9, 17, 30, 31, 40, 64};
    FinishRound({});
    FinishRound({});
    // So sparse that a bit a number would cost more than a few bytes a row: the rows are
    // numbered by their place.
    table.records = {3, 90000000};
    FinishRound({});
    FinishRound({});
}

TEST_F(ShuffleRoundTest, TheBytesNameTheirTableAndDamageStartsANewRound) {
    table.Fill(1, 50);
    const Numbers shown = Changes(20);
    const std::string bytes = round.Bytes();
    EXPECT_LE(bytes.size(), 64u + kTable.size()) << "two bits a row and a header";
    EXPECT_EQ(rules::TShuffleRound::FromBytes(bytes, kTable).Last(), shown.back());

    std::string flipped = bytes, cut = bytes.substr(0, bytes.size() - 9);
    flipped[bytes.size() / 2] ^= 0x10;
    for (const std::string& damaged :
         {flipped, cut, std::string(), std::string("QTROUND1\xFF\xFF\xFF\xFF"), bytes + "x"}) {
        round = rules::TShuffleRound::FromBytes(damaged, kTable);
        EXPECT_EQ(round.Last(), 0u);
        FinishRound({});
    }
    round = rules::TShuffleRound::FromBytes(bytes, "c:\\taglines\\other.db");
    EXPECT_EQ(round.Last(), 0u) << "another table starts its own round";
    EXPECT_EQ(round.Table(), "c:\\taglines\\other.db");

    // Rows deleted since the bytes were kept are skipped.
    round = rules::TShuffleRound::FromBytes(bytes, kTable);
    table.records.clear();
    table.Fill(41, 50);
    FinishRound(Sorted(shown));
    FinishRound({});

    // A table made anew under the same name numbers its rows from 1 again: those whose
    // numbers were shown in the round kept wait for the next one.
    round = rules::TShuffleRound::FromBytes(bytes, kTable);
    table.records.clear();
    table.Fill(1, 12);
    Numbers early;
    std::copy_if(shown.begin(), shown.end(), std::back_inserter(early),
                 [](std::uint32_t n) { return n <= 12; });
    FinishRound(Sorted(early));
    FinishRound({});
}

TEST(RandomPick, ARandomChangeLeavesTheCurrentRowUniformlyOverTheOthers) {
    for (int rows : {2, 3, 10}) {
        for (int current = 1; current <= rows; ++current) {
            std::map<int, int> drawn;
            for (std::uint32_t ms = 0; ms < 30000; ++ms)
                ++drawn[rules::RandomRow(ms * 7919u, rows, current)];
            EXPECT_EQ(drawn.count(current), 0u) << rows << " rows from " << current;
            EXPECT_EQ(static_cast<int>(drawn.size()), rows - 1);
            for (auto [row, times] : drawn)
                EXPECT_NEAR(times, 30000.0 / (rows - 1), 30000.0 / (rows - 1) * 0.1)
                    << rows << " rows from " << current << ": row " << row;
        }
    }
    EXPECT_EQ(rules::RandomRow(99, 1, 1), 1) << "one row yields that row";
    EXPECT_EQ(rules::RandomRow(99, 5), rules::RandomRow(99, 5, 0)) << "no current row";
}

} // namespace
