// TTableUtilHost: what the "Pack / Verify DB" command needs of the window that holds the
// tagline table. The window implements it, so this folder stays below the main window.
#pragma once

#include "framework/Timer.h"
#include "framework/data/Table.h"

#include <string>

class TTableUtilHost {
  public:
    // The tagline timer, stopped while the command runs and restored after it.
    virtual fw::TTimer& CyclingTimer() = 0;
    // The open tagline table, and the secondary table component the window keeps for
    // work on other tables.
    virtual fw::TTable& TaglineTable() = 0;
    virtual fw::TTable& SecondaryTable() = 0;
    // The program's folder, ending in a backslash.
    virtual const std::string& ProgramFolder() const = 0;
    // Opens the tagline table again from the configured database file.
    virtual void ReopenTaglineTable() = 0;
    // Reloads the signature display, as its Reload button does.
    virtual void ReloadSignature() = 0;

  protected:
    ~TTableUtilHost() = default;
};
