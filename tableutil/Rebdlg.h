// TRebuildDlg: the handle through which the table utility opens, updates and closes the
// "Rebuilding Database" window (TFormRebuildStatus) while a rebuild runs. At most one such
// window exists; every operation acts on it, not on the component.
#pragma once

#include "framework/Component.h"
#include "framework/Forms.h"
#include "framework/Label.h"
#include "tableutil/Gauges.h"

#include <cstdint>
#include <string>

class TFormRebuildStatus : public fw::TForm {
  public:
    explicit TFormRebuildStatus(fw::TComponent* owner);

    TGauge* GaugeRebuild = nullptr;
    fw::TLabel* LabelNumPacked = nullptr;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
};

class TRebuildDlg : public fw::TComponent {
  public:
    explicit TRebuildDlg(fw::TComponent* owner) : TComponent(owner) {}

    // Creates, resets and shows the window; a window that fails to appear is dropped and
    // the rebuild runs without one.
    void ShowStatus();
    void CloseStatus();
    bool StatusExists() const;
    // The window, or null when none is shown.
    static TFormRebuildStatus* Window();

    void SetPackedText(const std::string& text);
    void SetRebuildProgress(int16_t value);
    void RefreshStatus();
};
