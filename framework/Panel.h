// The panel: a face in its own colour framed by an outer and an inner bevel, each raised,
// lowered or none, with an optional caption centred on it (the toolbar's raised strip, the
// splash window's framed fields).
#pragma once

#include "framework/CustomControl.h"

namespace fw {

enum class TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public TCustomControl {
  public:
    explicit TPanel(TComponent* owner) : TCustomControl(owner) {}

    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);

    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    void Paint(HDC dc) override;

  private:
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
};

} // namespace fw
