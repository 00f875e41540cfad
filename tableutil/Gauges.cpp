// The gauge's setters and its painting: the picture drawn into an off-screen layer, laid
// over a black image by XOR, and the percentage XORed over that in white.
#include "tableutil/Gauges.h"

#include "framework/ClassRegistry.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace {

// The GDI objects selected into a DC for one drawing, put back and deleted at the end.
class TPenBrush {
  public:
    TPenBrush(HDC dc, COLORREF pen, COLORREF brush)
        : dc_(dc), pen_(CreatePen(PS_SOLID, 1, pen)), brush_(CreateSolidBrush(brush)),
          oldPen_(SelectObject(dc, pen_)), oldBrush_(SelectObject(dc, brush_)) {}
    ~TPenBrush() {
        SelectObject(dc_, oldPen_);
        SelectObject(dc_, oldBrush_);
        DeleteObject(pen_);
        DeleteObject(brush_);
    }
    TPenBrush(const TPenBrush&) = delete;
    TPenBrush& operator=(const TPenBrush&) = delete;

  private:
    HDC dc_;
    HPEN pen_;
    HBRUSH brush_;
    HGDIOBJ oldPen_, oldBrush_;
};

void Fill(HDC dc, const RECT& r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// Rounds halves to even, as the dial's points are placed.
int Nearest(double x) {
    return static_cast<int>(std::nearbyint(x));
}

std::string RangeMessage(int32_t low, int32_t high) {
    char text[64];
    std::snprintf(text, sizeof text, "Value must be between %d and %d", static_cast<int>(low),
                  static_cast<int>(high));
    return text;
}

} // namespace

TBltBitmap::~TBltBitmap() {
    Release();
}

void TBltBitmap::Release() {
    if (!dc_)
        return;
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    dc_ = nullptr;
}

void TBltBitmap::Create(HDC like, int width, int height) {
    Release();
    width_ = width;
    height_ = height;
    dc_ = CreateCompatibleDC(like);
    bitmap_ = CreateCompatibleBitmap(like, width, height);
    old_ = SelectObject(dc_, bitmap_);
    PatBlt(dc_, 0, 0, width, height, BLACKNESS);
}

void TBltBitmap::MakeLike(const TBltBitmap& other) {
    Create(other.Canvas(), other.Width(), other.Height());
    const RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, GetSysColorBrush(COLOR_WINDOWFRAME));
}

TGauge::TGauge(fw::TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 100, 100);
}

void TGauge::SetKind(TGaugeKind value) {
    if (value != kind_) {
        kind_ = value;
        Repaint();
    }
}

void TGauge::SetShowText(bool value) {
    if (value != showText_) {
        showText_ = value;
        Repaint();
    }
}

void TGauge::SetBorderStyle(TGaugeBorder value) {
    if (value != border_) {
        border_ = value;
        Repaint();
    }
}

void TGauge::SetForeColor(COLORREF value) {
    if (value != foreColor_) {
        foreColor_ = value;
        Repaint();
    }
}

void TGauge::SetBackColor(COLORREF value) {
    if (value != backColor_) {
        backColor_ = value;
        Repaint();
    }
}

void TGauge::SetMinValue(int32_t value) {
    if (value == minValue_)
        return;
    if (value > maxValue_)
        throw EInvalidOperation(RangeMessage(-2147483647, maxValue_ - 1));
    minValue_ = value;
    if (progress_ < value)
        progress_ = value;
    Repaint();
}

void TGauge::SetMaxValue(int32_t value) {
    if (value == maxValue_)
        return;
    if (value < minValue_)
        throw EInvalidOperation(RangeMessage(minValue_ + 1, 2147483647));
    maxValue_ = value;
    if (progress_ > value)
        progress_ = value;
    Repaint();
}

void TGauge::SetProgress(int32_t value) {
    if (value < minValue_)
        value = minValue_;
    else if (value > maxValue_)
        value = maxValue_;
    if (value == progress_)
        return;
    const int before = Percent();
    progress_ = value;
    if (Percent() != before)
        Repaint();
}

int TGauge::Percent() const {
    if (maxValue_ == minValue_)
        return 0;
    return static_cast<int>((static_cast<double>(progress_) - minValue_) * 100.0 /
                            (static_cast<double>(maxValue_) - minValue_));
}

int TGauge::ScaledPart(int percent, int extent) {
    return static_cast<int>(extent * (percent * 0.01));
}

void TGauge::Paint(HDC dc) {
    const RECT client = ClientRect();
    TBltBitmap image;
    image.Create(dc, client.right, client.bottom);
    RECT r = client;
    if (border_ == TGaugeBorder::bsSingle)
        InflateRect(&r, -1, -1);
    TBltBitmap overlay;
    overlay.MakeLike(image);
    PatBlt(overlay.Canvas(), 0, 0, overlay.Width(), overlay.Height(), BLACKNESS);
    PaintPicture(overlay.Canvas(), r);
    BitBlt(image.Canvas(), 0, 0, image.Width(), image.Height(), overlay.Canvas(), 0, 0, SRCINVERT);
    if (showText_)
        PaintText(image, r);
    BitBlt(dc, 0, 0, image.Width(), image.Height(), image.Canvas(), 0, 0, SRCCOPY);
}

void TGauge::PaintPicture(HDC dc, const RECT& r) const {
    const int percent = Percent();
    switch (kind_) {
    case TGaugeKind::gkText:
        Fill(dc, r, backColor_);
        break;
    case TGaugeKind::gkHorizontalBar:
    case TGaugeKind::gkVerticalBar: {
        Fill(dc, r, backColor_);
        TPenBrush tools(dc, foreColor_, foreColor_);
        const int w = r.right - r.left + 1, h = r.bottom - r.top + 1;
        if (kind_ == TGaugeKind::gkHorizontalBar) {
            const int w2 = std::min(ScaledPart(percent, w), w);
            if (w2 > 0)
                Rectangle(dc, r.left, r.top, w2, h);
        } else {
            int h2 = ScaledPart(percent, h);
            if (h2 >= h)
                h2 = h - 1;
            Rectangle(dc, r.left, h - h2, w, h);
        }
        break;
    }
    case TGaugeKind::gkPie:
    case TGaugeKind::gkNeedle: {
        const int extra = border_ == TGaugeBorder::bsSingle ? 1 : 0;
        const int w = r.right - r.left + extra, h = r.bottom - r.top + extra;
        Fill(dc, r, Color());
        TPenBrush tools(dc, foreColor_, backColor_);
        if (kind_ == TGaugeKind::gkPie) {
            Ellipse(dc, r.left, r.top, w, h);
            if (percent > 0) {
                HBRUSH slice = CreateSolidBrush(foreColor_);
                HGDIOBJ old = SelectObject(dc, slice);
                const int midX = w / 2, midY = h / 2;
                const double a = (percent * 0.02 + 0.5) * std::numbers::pi;
                Pie(dc, r.left, r.top, w, h, Nearest(midX * (1 - std::cos(a))),
                    Nearest(midY * (1 - std::sin(a))), midX, 0);
                SelectObject(dc, old);
                DeleteObject(slice);
            }
        } else {
            Pie(dc, r.left, r.top, w, 2 * h - 1, w + r.left, r.bottom - 1, r.left, r.bottom - 1);
            MoveToEx(dc, r.left, r.bottom, nullptr);
            LineTo(dc, w + r.left, r.bottom);
            if (percent > 0) {
                const int midX = Width() / 2;
                MoveToEx(dc, midX, r.bottom - 1, nullptr);
                const double a = percent * 0.01 * std::numbers::pi;
                LineTo(dc, Nearest(midX * (1 - std::cos(a))),
                       Nearest((r.bottom - 1) * (1 - std::sin(a))));
            }
        }
        break;
    }
    }
}

void TGauge::PaintText(TBltBitmap& image, const RECT& r) {
    TBltBitmap text;
    text.MakeLike(image);
    HDC dc = text.Canvas();
    PatBlt(dc, 0, 0, text.Width(), text.Height(), BLACKNESS);
    char s[16];
    std::snprintf(s, sizeof s, "%d%%", Percent());
    const int length = static_cast<int>(std::char_traits<char>::length(s));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
    SetTextColor(dc, RGB(255, 255, 255));
    SIZE size{};
    GetTextExtentPoint32A(dc, s, length, &size);
    const int x = (r.right - r.left + 1 - size.cx) / 2;
    const int y = (r.bottom - r.top + 1 - size.cy) / 2;
    ExtTextOutA(dc, x, y, ETO_CLIPPED, &r, s, length, nullptr);
    SelectObject(dc, oldFont);
    BitBlt(image.Canvas(), 0, 0, image.Width(), image.Height(), dc, 0, 0, SRCINVERT);
}

bool TGauge::SetProperty(const std::string& name, const fw::TLayoutValue& v,
                         const fw::TEventTable& e) {
    static const char* const kinds[] = {"gkText", "gkHorizontalBar", "gkVerticalBar", "gkPie",
                                        "gkNeedle"};
    if (name == "Kind") {
        for (int i = 0; i < 5; ++i)
            if (v.AsIdent() == kinds[i]) {
                kind_ = static_cast<TGaugeKind>(i);
                return true;
            }
        return false;
    }
    if (name == "ShowText")
        showText_ = v.AsBoolean();
    else if (name == "BorderStyle")
        border_ = v.AsIdent() == "bsNone" ? TGaugeBorder::bsNone : TGaugeBorder::bsSingle;
    else if (name == "ForeColor")
        foreColor_ = fw::ColorFromName(v.AsIdent());
    else if (name == "BackColor")
        backColor_ = fw::ColorFromName(v.AsIdent());
    else if (name == "MinValue")
        SetMinValue(v.AsInteger());
    else if (name == "MaxValue")
        SetMaxValue(v.AsInteger());
    else if (name == "Progress")
        SetProgress(v.AsInteger());
    else
        return TGraphicControl::SetProperty(name, v, e);
    return true;
}

void RegisterGaugeClass() {
    fw::RegisterComponentClass<TGauge>("TGauge");
}
