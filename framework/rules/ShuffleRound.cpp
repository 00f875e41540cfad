// The shuffle's round: the draw over the unshown numbers, and its bytes (a header naming
// the table, the last number shown, the bits, and a checksum that tells a damaged file
// from a round).
#include "framework/rules/ShuffleRound.h"

#include "framework/rules/RandomPick.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace rules {

namespace {

const std::string kMagic = "QTROUND1";

std::uint32_t Fnv1a(const std::string& bytes) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : bytes)
        h = (h ^ c) * 16777619u;
    return h;
}

void Put(std::string& out, std::uint64_t v, int size) {
    for (int i = 0; i < size; ++i)
        out += static_cast<char>(v >> (8 * i) & 0xFF);
}

// Reads forward through bytes; a read past the end sets `bad` and gives zero.
struct TReader {
    const std::string& bytes;
    size_t at = 0;
    bool bad = false;
    std::uint64_t Get(int size) {
        if (bad || bytes.size() - at < static_cast<size_t>(size)) {
            bad = true;
            return 0;
        }
        std::uint64_t v = 0;
        for (int i = 0; i < size; ++i)
            v |= std::uint64_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
        at += static_cast<size_t>(size);
        return v;
    }
    std::string Text(size_t size) {
        if (bad || bytes.size() - at < size) {
            bad = true;
            return {};
        }
        at += size;
        return bytes.substr(at - size, size);
    }
};

size_t Words(std::uint32_t numbers) {
    return (size_t{numbers} + 63) / 64;
}

// The bits of word i that stand for numbers of a round of `numbers`.
std::uint64_t Mask(size_t i, std::uint32_t numbers) {
    const size_t inWord = std::min<size_t>(64, numbers - i * 64);
    return inWord == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << inWord) - 1;
}

// Record numbers name the rows unless they are so sparse that a bit a number would cost
// more than a few bytes a row, and draws would mostly land on deleted rows.
bool NumbersFit(std::uint32_t rows, std::uint32_t last) {
    return last > 0 && last <= 4 * std::uint64_t{rows} + 64;
}

} // namespace

TShuffleRound::TShuffleRound(std::string table) : table_(std::move(table)) {}

TShuffleRound TShuffleRound::FromBytes(const std::string& bytes, const std::string& table) {
    TShuffleRound round(table);
    TReader in{bytes};
    if (in.Text(kMagic.size()) != kMagic)
        return round;
    const std::string name = in.Text(in.Get(4));
    const auto last = static_cast<std::uint32_t>(in.Get(4));
    const auto numbers = static_cast<std::uint32_t>(in.Get(4));
    // The size must match before anything is allocated for the bits.
    if (in.bad || name != table || bytes.size() - in.at != Words(numbers) * 8 + 4)
        return round;
    std::vector<std::uint64_t> shown(Words(numbers));
    for (size_t i = 0; i < shown.size(); ++i)
        if ((shown[i] = in.Get(8)) & ~Mask(i, numbers))
            return round;
    if (in.Get(4) != Fnv1a(bytes.substr(0, bytes.size() - 4)))
        return round;
    round.last_ = last;
    round.numbers_ = numbers;
    round.shown_ = std::move(shown);
    return round;
}

std::string TShuffleRound::Bytes() const {
    std::string out = kMagic;
    Put(out, table_.size(), 4);
    out += table_;
    Put(out, last_, 4);
    Put(out, numbers_, 4);
    for (std::uint64_t w : shown_)
        Put(out, w, 8);
    Put(out, Fnv1a(out), 4);
    return out;
}

bool TShuffleRound::Shown(std::uint32_t number) const {
    return shown_[(number - 1) / 64] >> ((number - 1) % 64) & 1;
}

std::uint32_t TShuffleRound::ShownCount() const {
    std::uint32_t n = 0;
    for (std::uint64_t w : shown_)
        n += static_cast<std::uint32_t>(std::popcount(w));
    return n;
}

std::uint32_t TShuffleRound::Unshown(std::uint32_t k) const {
    for (size_t i = 0; i < shown_.size(); ++i) {
        std::uint64_t free = ~shown_[i] & Mask(i, numbers_);
        const auto here = static_cast<std::uint32_t>(std::popcount(free));
        if (k >= here) {
            k -= here;
            continue;
        }
        for (; k > 0; --k)
            free &= free - 1; // drops the lowest free bit
        return static_cast<std::uint32_t>(i * 64 + static_cast<size_t>(std::countr_zero(free)) + 1);
    }
    return 0;
}

std::uint32_t TShuffleRound::UnshownBelow(std::uint32_t number) const {
    const std::uint32_t bit = number - 1;
    std::uint32_t shown = 0;
    for (size_t i = 0; i < bit / 64; ++i)
        shown += static_cast<std::uint32_t>(std::popcount(shown_[i]));
    if (bit % 64)
        shown += static_cast<std::uint32_t>(
            std::popcount(shown_[bit / 64] & ((std::uint64_t{1} << (bit % 64)) - 1)));
    return bit - shown;
}

std::uint32_t TShuffleRound::Move(std::uint32_t& seed, TShuffleTable& table) {
    const std::uint32_t rows = table.RowCount();
    if (rows == 0)
        return 0;
    const std::uint32_t last = table.OrderByRecord() ? table.LastRecord() : 0;
    if (!NumbersFit(rows, last)) {
        // Rows numbered by their place in the table's order (Record order when it has one).
        return Next(seed, rows, [&](std::uint32_t place) {
            table.GoToPlace(place);
            return true;
        });
    }
    return Next(seed, last, [&](std::uint32_t number) { return table.GoToRecord(number); });
}

std::uint32_t TShuffleRound::Next(std::uint32_t& seed, std::uint32_t count,
                                  const std::function<bool(std::uint32_t)>& exists) {
    // Numbers above the table's last have no rows (a Record number is never given again):
    // the round ends at it. Rows added since the round began join it unshown.
    numbers_ = count;
    shown_.resize(Words(count));
    if (!shown_.empty())
        shown_.back() &= Mask(shown_.size() - 1, count);
    bool renewed = false;
    for (;;) {
        std::uint32_t unshown = numbers_ - ShownCount();
        if (unshown == 0) {
            if (renewed)
                return 0; // every number was looked up, and none has a row
            std::fill(shown_.begin(), shown_.end(), 0);
            renewed = true;
            unshown = numbers_;
        }
        // The first tagline of a new round is drawn over the others when there are others.
        const bool avoid =
            renewed && last_ >= 1 && last_ <= numbers_ && !Shown(last_) && unshown > 1;
        auto k = static_cast<std::uint32_t>(
            RandomDraw(seed, static_cast<int>(unshown - (avoid ? 1 : 0))) - 1);
        if (avoid && k >= UnshownBelow(last_))
            ++k;
        const std::uint32_t number = Unshown(k);
        shown_[(number - 1) / 64] |= std::uint64_t{1} << ((number - 1) % 64);
        if (exists(number)) {
            last_ = number;
            return number;
        }
    }
}

} // namespace rules
