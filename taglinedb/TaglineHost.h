// TTaglineHost: what the tagline table's commands need of the window that holds them.
// The window implements it; the commands never see the window itself, so this folder
// stays below the main window.
#pragma once

#include "framework/Dialogs.h"
#include "framework/Timer.h"

#include <string>

class TTaglineHost {
  public:
    // Stops the tagline cycling and shows it stopped: a table command changes what the
    // cycling would draw from.
    virtual void StopTimer() = 0;
    // The tagline timer, which commands that fill the table hold off while they run.
    virtual fw::TTimer& CyclingTimer() = 0;
    // The current table's path (the DBFile setting) and what shows it.
    virtual const std::string& CurrentTablePath() const = 0;
    virtual void SetDBFile(const std::string& fileName) = 0;
    virtual void FillBottomPanel() = 0;
    // The signature file the tagline changes are written to (the SigFile setting): never
    // to be made a table.
    virtual const std::string& SignatureFile() const = 0;
    // The open-file dialog that the window's commands share: each sets what it needs and
    // the rest carries over.
    virtual fw::TFileDialog& SharedOpenDialog() = 0;
    // The program's folder, ending in a backslash: where the dialogs open.
    virtual const std::string& ProgramFolder() const = 0;

  protected:
    ~TTaglineHost() = default;
};
