// TSetupHost: what the options dialog needs of the window whose settings it edits. The
// window implements it; the dialog keeps no copy of any setting and changes them in
// place, so every click takes effect on the window at once.
#pragma once

#include "framework/Dialogs.h"

#include <string>

class TSetupHost {
  public:
    // The settings the dialog edits, as the window holds them.
    struct TSettings {
        std::string& Sequencer;
        std::string& Frequency;
        std::string& SpawnPrg;
        std::string& CustDate;
        std::string& CustTime;
        int& Interval;
        bool& TagPos;
        bool& Warn;
        bool& Hints;
        bool& ToolBar;
        bool& Tray;
        bool& Spawn;
    };
    virtual TSettings EditedSettings() = 0;

    // The tagline timer: restarted under a new frequency after firstDelay milliseconds,
    // or stopped.
    virtual void StartTimer(unsigned firstDelay) = 0;
    virtual void StopTimer() = 0;
    // A new variable interval counts from now: the time of the last save (LastSaveTime,
    // and the time the frequency rules compare with) becomes the current time.
    virtual void CountIntervalFromNow() = 0;
    // The status bars (sequencer above, frequency below) and the draft display.
    virtual void FillTopPanel() = 0;
    virtual void FillBottomPanel() = 0;
    virtual void RebuildDraft() = 0;
    // The window's look after Hints, ToolBar (its height too) and Tray changed.
    virtual void ApplyHints() = 0;
    virtual void ApplyToolBar() = 0;
    virtual void ApplyTray() = 0;
    // The open-file dialog the window's commands share, and where it opens.
    virtual fw::TFileDialog& SharedOpenDialog() = 0;
    virtual const std::string& ProgramFolder() const = 0;
    // Writes every setting to the registry ("Save Settings").
    virtual void SaveSettings() = 0;

  protected:
    ~TSetupHost() = default;
};
