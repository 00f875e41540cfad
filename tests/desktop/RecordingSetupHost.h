// A window behind the options dialog, for tests and pictures: settings of its own (the
// program's defaults), and a record of every call the dialog makes on it.
#pragma once

#include "desktop/SetupHost.h"

#include <string>
#include <vector>

class TRecordingSetupHost : public TSetupHost {
  public:
    std::string Sequencer = "Random", Frequency = "Daily", SpawnPrg, CustDate = "mmm dd, yy",
                CustTime = "tt";
    int Interval = 5;
    bool TagPos = false, Warn = true, Hints = true, ToolBar = true, Tray = true, Spawn = false;
    fw::TFileDialog OpenDialog;
    std::string Folder = "C:\\Quiptide\\";
    std::vector<std::string> Calls;

    TSettings EditedSettings() override {
        return {Sequencer, Frequency, SpawnPrg, CustDate, CustTime, Interval,
                TagPos,    Warn,      Hints,    ToolBar,  Tray,     Spawn};
    }
    void StartTimer(unsigned firstDelay) override {
        Calls.push_back("StartTimer(" + std::to_string(firstDelay) + ")");
    }
    void StopTimer() override { Calls.push_back("StopTimer"); }
    void CountIntervalFromNow() override { Calls.push_back("CountIntervalFromNow"); }
    void FillTopPanel() override { Calls.push_back("FillTopPanel"); }
    void FillBottomPanel() override { Calls.push_back("FillBottomPanel"); }
    void RebuildDraft() override { Calls.push_back("RebuildDraft"); }
    void ApplyHints() override { Calls.push_back("ApplyHints"); }
    void ApplyToolBar() override { Calls.push_back("ApplyToolBar"); }
    void ApplyTray() override { Calls.push_back("ApplyTray"); }
    fw::TFileDialog& SharedOpenDialog() override { return OpenDialog; }
    const std::string& ProgramFolder() const override { return Folder; }
    void SaveSettings() override { Calls.push_back("SaveSettings"); }
};
