// TTaglineFind: the Database menu's "&Find Tagline..." and its F3. Moves the tagline
// table to the next row, in its present order and wrapping past the end, whose TagText
// contains a text, case ignored as the "Tag" index ignores it. The search runs inside the
// engine, so a find through 100,000 taglines costs one pass over their bytes.
#pragma once

#include "framework/Timer.h"

#include <string>

namespace fw {
class TTable;
}

// What a find needs of the window: a found tagline is a choice by hand, as a move with the
// navigator is, so cycling stops rather than replace it; and the draft shows it.
class TTaglineFindHost {
  public:
    virtual fw::TTimer& CyclingTimer() = 0;
    virtual void StopTimer() = 0;
    virtual void RebuildDraft() = 0;

  protected:
    ~TTaglineFindHost() = default;
};

class TTaglineFind {
  public:
    TTaglineFind(fw::TTable& table, TTaglineFindHost& host) : table_(table), host_(host) {}

    // Asks for the text in the input box (the last one offered again), then finds it.
    void Find();
    // Finds the last text again, from the row after the current one; asks for a text when
    // there is none yet.
    void FindNext();

  private:
    void Search();

    fw::TTable& table_;
    TTaglineFindHost& host_;
    std::string text_;
};
