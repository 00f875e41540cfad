// TCyclingRound: the shuffle's round as the main window keeps it, in a small file beside
// the side files. The file is read when a table's round is first needed, and written
// after every change through a temporary file renamed into place, so a crash leaves the
// round before or after the change, never half of it.
#pragma once

#include "framework/rules/ShuffleRound.h"

#include <cstdint>
#include <optional>
#include <string>

namespace fw {
class TTable;
}

class TCyclingRound {
  public:
    explicit TCyclingRound(std::string fileName) : fileName_(std::move(fileName)) {}

    // Moves the table to the next tagline of its round; an empty table keeps its place.
    // A demonstration (keep false) draws from a copy of the round, which it never writes,
    // so its taglines still count as unshown once it ends.
    void Next(fw::TTable& table, std::uint32_t seed, bool keep);

  private:
    rules::TShuffleRound& Round(const std::string& table, bool keep);

    std::string fileName_;
    std::optional<rules::TShuffleRound> kept_, demo_;
};
