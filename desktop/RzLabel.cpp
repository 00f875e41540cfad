// The 3D label's painting: the caption drawn once or twice offset in the system's bevel
// colours, or once offset in the shadow colour, before it is drawn in its own place.
#include "desktop/RzLabel.h"

TRzLabel::TRzLabel(fw::TComponent* owner)
    : TLabel(owner), About{2026, "Brindlex", "A label with a raised, recessed or shadowed caption"},
      shadowColor_(GetSysColor(COLOR_BTNSHADOW)) {}

void TRzLabel::SetShadowColor(COLORREF color) {
    if (color == shadowColor_)
        return;
    shadowColor_ = color;
    Invalidate();
}

void TRzLabel::SetShadowDepth(int depth) {
    if (depth == shadowDepth_)
        return;
    shadowDepth_ = depth;
    Invalidate();
}

void TRzLabel::SetTextStyle(TTextStyle style) {
    if (style == textStyle_)
        return;
    textStyle_ = style;
    Invalidate();
}

void TRzLabel::Paint(HDC dc) {
    PaintBackground(dc);
    const std::string text = Caption().substr(0, MaxCaption);
    const RECT r = ClientRect();
    auto drawAt = [&](int offset, COLORREF color) {
        RECT moved = r;
        OffsetRect(&moved, offset, offset);
        DrawCaption(dc, text, moved, color);
    };
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    switch (textStyle_) {
    case TTextStyle::tsRaised:
        drawAt(1, shadow);
        drawAt(-1, highlight);
        break;
    case TTextStyle::tsRecessed:
        drawAt(1, highlight);
        drawAt(-1, shadow);
        break;
    case TTextStyle::tsShadow:
        drawAt(shadowDepth_, shadowColor_);
        break;
    case TTextStyle::tsNone:
        break;
    }
    drawAt(0, TextColor());
}

bool TRzLabel::SetProperty(const std::string& name, const fw::TLayoutValue& v,
                           const fw::TEventTable& e) {
    if (name == "ShadowColor")
        shadowColor_ = fw::ColorFromName(v.AsIdent());
    else if (name == "ShadowDepth")
        shadowDepth_ = v.AsInteger();
    else if (name == "TextStyle") {
        static const char* const styles[] = {"tsNone", "tsRaised", "tsRecessed", "tsShadow"};
        for (int i = 0; i < 4; ++i)
            if (v.AsIdent() == styles[i]) {
                textStyle_ = static_cast<TTextStyle>(i);
                return true;
            }
        return false;
    } else
        return TLabel::SetProperty(name, v, e);
    return true;
}
