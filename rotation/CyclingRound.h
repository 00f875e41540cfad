// TCyclingRound: the shuffle's round as the main window keeps it, in a small file beside
// the side files. The file is held open from the first shuffle on and rewritten in place
// after every change: one write, where opening, writing and closing it again would cost
// as much as saving another side file. A write cut short by a crash fails the round's
// checksum, and the next start begins a new round.
#pragma once

#include "framework/rules/ShuffleRound.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace fw {
class TTable;
}

class TCyclingRound {
  public:
    explicit TCyclingRound(const std::string& fileName);
    ~TCyclingRound();
    TCyclingRound(const TCyclingRound&) = delete;
    TCyclingRound& operator=(const TCyclingRound&) = delete;

    // Moves the table to the next tagline of its round; an empty table keeps its place.
    // A demonstration (keep false) draws from a copy of the round, which it never writes,
    // so its taglines still count as unshown once it ends.
    void Next(fw::TTable& table, std::uint32_t seed, bool keep);

  private:
    struct TFileCloser {
        void operator()(void* handle) const;
    };
    rules::TShuffleRound& Round(const std::string& table, bool keep);
    std::string Read();
    void Keep();

    std::unique_ptr<void, TFileCloser> file_; // null when it cannot be opened
    size_t fileSize_ = 0;
    std::optional<rules::TShuffleRound> kept_, demo_;
};
