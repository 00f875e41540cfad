// TRzLabel: a label whose caption stands raised from the face it is on, is recessed into
// it, or casts a drop shadow.
#pragma once

#include "framework/Label.h"

#include <string>

enum class TTextStyle { tsNone, tsRaised, tsRecessed, tsShadow };

// Who made the control and what it does, for a form designer; the program never reads it.
struct TRzAboutInfo {
    int Year;
    std::string Maker;
    std::string Description;
};

class TRzLabel : public fw::TLabel {
  public:
    static constexpr size_t MaxCaption = 255; // longer captions are drawn cut to this

    explicit TRzLabel(fw::TComponent* owner);

    TRzAboutInfo About;
    // The drop shadow's colour and its offset right and down in pixels (tsShadow only).
    COLORREF ShadowColor() const { return shadowColor_; }
    void SetShadowColor(COLORREF color);
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int depth);
    TTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TTextStyle style);

    // ShadowColor, ShadowDepth and TextStyle beside the label's own.
    bool SetProperty(const std::string& name, const fw::TLayoutValue& value,
                     const fw::TEventTable& events) override;

  protected:
    void Paint(HDC dc) override;

  private:
    COLORREF shadowColor_;
    int shadowDepth_ = 2;
    TTextStyle textStyle_ = TTextStyle::tsRecessed;
};
