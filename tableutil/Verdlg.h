// TVerifyDlg: the handle through which the table utility opens, updates and closes the
// "Verifying Database" window (TFormVerifyStatus) while a verification runs. At most one
// such window exists; every operation acts on it, not on the component.
#pragma once

#include "framework/Component.h"
#include "framework/Forms.h"
#include "framework/Label.h"
#include "tableutil/Gauges.h"

#include <cstdint>
#include <string>

class TFormVerifyStatus : public fw::TForm {
  public:
    explicit TFormVerifyStatus(fw::TComponent* owner);

    fw::TLabel *LabelStatus = nullptr, *LabelZeroOf = nullptr, *LabelOfZero = nullptr;
    TGauge *GaugeHeader = nullptr, *GaugeIndex = nullptr, *GaugeData = nullptr,
           *GaugeHeaderIdx = nullptr, *GaugeIndexIdx = nullptr, *GaugeDataIdx = nullptr,
           *GaugeIntegrity = nullptr;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
};

class TVerifyDlg : public fw::TComponent {
  public:
    explicit TVerifyDlg(fw::TComponent* owner) : TComponent(owner) {}

    // Creates, resets and shows the window; a window that fails to appear is dropped and
    // the verification runs without one.
    void ShowStatus();
    void CloseStatus();
    bool StatusExists() const;
    // The window, or null when none is shown.
    static TFormVerifyStatus* Window();

    void SetStatusText(const std::string& text);
    void SetHeaderProgress(uint16_t value);
    void SetIndexProgress(uint16_t value);
    void SetDataProgress(uint16_t value);
    void SetHeaderIdxProgress(uint16_t value);
    void SetIndexIdxProgress(uint16_t value);
    void SetDataIdxProgress(uint16_t value);
    void SetIntegrityProgress(uint16_t value);
    void SetIndexNumber(const std::string& text);
    void SetIndexCount(const std::string& text);
};
