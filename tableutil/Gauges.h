// TGauge: a progress gauge that shows a value between a minimum and a maximum as a
// horizontal or vertical bar, a pie, a needle on a half-dial or only as text, with the
// percentage written over the picture in inverted colours.
#pragma once

#include "framework/GraphicControl.h"
#include "framework/Exception.h"

#include <windows.h>

#include <cstdint>

enum class TGaugeKind { gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle };
enum class TGaugeBorder { bsNone, bsSingle };

// A setter was asked for a value that breaks the control's rules.
class EInvalidOperation : public fw::Exception {
    using fw::Exception::Exception;
};

// An off-screen bitmap that the gauge paints its layers into.
class TBltBitmap {
  public:
    TBltBitmap() = default;
    ~TBltBitmap();
    TBltBitmap(const TBltBitmap&) = delete;
    TBltBitmap& operator=(const TBltBitmap&) = delete;

    // Takes the other bitmap's size and fills the whole of it in the window-frame colour.
    void MakeLike(const TBltBitmap& other);
    // A bitmap of that size, filled black.
    void Create(HDC like, int width, int height);
    HDC Canvas() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

  private:
    void Release();
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    int width_ = 0, height_ = 0;
};

class TGauge : public fw::TGraphicControl {
  public:
    explicit TGauge(fw::TComponent* owner);

    TGaugeKind Kind() const { return kind_; }
    void SetKind(TGaugeKind value);
    bool ShowText() const { return showText_; }
    void SetShowText(bool value);
    TGaugeBorder BorderStyle() const { return border_; }
    void SetBorderStyle(TGaugeBorder value);
    COLORREF ForeColor() const { return foreColor_; }
    void SetForeColor(COLORREF value);
    COLORREF BackColor() const { return backColor_; }
    void SetBackColor(COLORREF value);
    int32_t MinValue() const { return minValue_; }
    void SetMinValue(int32_t value);
    int32_t MaxValue() const { return maxValue_; }
    void SetMaxValue(int32_t value);
    int32_t Progress() const { return progress_; }
    void SetProgress(int32_t value);

    // How far Progress is from MinValue to MaxValue, 0 to 100 (0 for an empty range).
    int Percent() const;
    // The part of extent that percent covers, truncated.
    static int ScaledPart(int percent, int extent);

    bool SetProperty(const std::string& name, const fw::TLayoutValue& value,
                     const fw::TEventTable& events) override;

  protected:
    void Paint(HDC dc) override;

  private:
    void PaintPicture(HDC dc, const RECT& r) const;
    void PaintText(TBltBitmap& image, const RECT& r);

    TGaugeKind kind_ = TGaugeKind::gkHorizontalBar;
    bool showText_ = true;
    TGaugeBorder border_ = TGaugeBorder::bsSingle;
    COLORREF foreColor_ = RGB(0, 0, 0);
    COLORREF backColor_ = RGB(255, 255, 255);
    int32_t minValue_ = 0;
    int32_t maxValue_ = 100;
    int32_t progress_ = 0;
};

// Lets stored layouts name TGauge.
void RegisterGaugeClass();
