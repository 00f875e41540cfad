// A stand-in for the main window in the tagline table subsystem's tests: it records what
// the subsystem asks of the window.
#pragma once

#include "framework/Timer.h"
#include "taglinedb/TaglineHost.h"

#include <string>

class TRecordingHost : public TTaglineHost {
  public:
    void StopTimer() override { ++stops; }
    fw::TTimer& CyclingTimer() override { return timer; }
    const std::string& CurrentTablePath() const override { return dbFile; }
    void SetDBFile(const std::string& fileName) override { dbFile = fileName; }
    void FillBottomPanel() override { ++panels; }
    const std::string& SignatureFile() const override { return sigFile; }
    fw::TFileDialog& SharedOpenDialog() override { return dialog; }
    const std::string& ProgramFolder() const override { return folder; }

    int stops = 0, panels = 0;
    std::string dbFile = "(unset)", folder, sigFile;
    fw::TFileDialog dialog;
    fw::TTimer timer{nullptr};
};
