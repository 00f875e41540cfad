// Glyph buttons: the face both kinds share, the owner-drawn push button and the
// windowless speed button's mouse handling.
#include "framework/GlyphButtons.h"

#include "framework/Exception.h"

#include <map>
#include <memory>

namespace fw {

namespace {

struct TBitmapDeleter {
    void operator()(HBITMAP b) const { DeleteObject(b); }
};

// Copies the glyph onto dc, leaving out the pixels of its lower-left pixel's colour.
void DrawGlyph(HDC dc, HBITMAP glyph, int x, int y, bool enabled) {
    BITMAP bm{};
    GetObjectA(glyph, sizeof bm, &bm);
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(src, glyph);
    COLORREF transparent = GetPixel(src, 0, bm.bmHeight - 1);
    if (enabled) {
        TransparentBlt(dc, x, y, bm.bmWidth, bm.bmHeight, src, 0, 0, bm.bmWidth, bm.bmHeight,
                       transparent);
    } else {
        // Disabled: the glyph's shape, embossed in the system's shadow colours.
        for (int py = 0; py < bm.bmHeight; ++py)
            for (int px = 0; px < bm.bmWidth; ++px)
                if (GetPixel(src, px, py) != transparent) {
                    SetPixel(dc, x + px + 1, y + py + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
                    SetPixel(dc, x + px, y + py, GetSysColor(COLOR_BTNSHADOW));
                }
    }
    SelectObject(src, old);
    DeleteDC(src);
}

// A push button's face: frame, glyph and caption side by side and centred, moved a pixel
// down-right while pushed, embossed while disabled, with a focus frame when focused.
struct TButtonFace {
    std::string text;
    HBITMAP glyph;
    TButtonLayout layout;
    bool pushed, enabled, focused;
};

void DrawButtonFace(HDC dc, RECT r, HFONT font, const TButtonFace& face) {
    const bool pushed = face.pushed, enabled = face.enabled;
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));

    // Selected here: the system's drawing DC need not carry the button's font.
    HGDIOBJ oldFont = SelectObject(dc, font);
    const std::string& text = face.text;
    SIZE textSize{};
    RECT measure{0, 0, 0, 0};
    if (!text.empty()) {
        DrawTextA(dc, text.c_str(), -1, &measure, DT_CALCRECT | DT_SINGLELINE);
        textSize = {measure.right, measure.bottom};
    }
    BITMAP bm{};
    HBITMAP glyph = face.glyph;
    if (glyph)
        GetObjectA(glyph, sizeof bm, &bm);
    int gap = glyph && !text.empty() ? 4 : 0;
    int total = bm.bmWidth + gap + textSize.cx;
    int x = (r.left + r.right - total) / 2 + (pushed ? 1 : 0);
    int cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
    bool glyphFirst = face.layout == TButtonLayout::blGlyphLeft;
    int glyphX = glyphFirst ? x : x + textSize.cx + gap;
    int textX = glyphFirst ? x + bm.bmWidth + gap : x;
    if (glyph)
        DrawGlyph(dc, glyph, glyphX, cy - bm.bmHeight / 2, enabled);
    if (!text.empty()) {
        RECT tr{textX, cy - textSize.cy / 2, textX + textSize.cx, cy + textSize.cy / 2 + 1};
        SetBkMode(dc, TRANSPARENT);
        if (!enabled) {
            OffsetRect(&tr, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTextA(dc, text.c_str(), -1, &tr, DT_SINGLELINE);
            OffsetRect(&tr, -1, -1);
        }
        SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_BTNSHADOW));
        DrawTextA(dc, text.c_str(), -1, &tr, DT_SINGLELINE);
    }
    if (face.focused) {
        RECT f = r;
        InflateRect(&f, -4, -4);
        DrawFocusRect(dc, &f);
    }
    SelectObject(dc, oldFont);
}

// Checks a glyph name where it is set, so that a wrong one fails there and not at the
// next paint; true when it differs from the current one.
bool ChangeGlyph(std::string& current, const std::string& resourceName) {
    if (resourceName == current)
        return false;
    if (!resourceName.empty())
        LoadGlyph(resourceName);
    current = resourceName;
    return true;
}

} // namespace

HBITMAP LoadGlyph(const std::string& resourceName) {
    static std::map<std::string, std::unique_ptr<std::remove_pointer_t<HBITMAP>, TBitmapDeleter>>
        glyphs;
    auto& slot = glyphs[resourceName];
    if (!slot) {
        HANDLE b = LoadImageA(GetModuleHandleA(nullptr), resourceName.c_str(), IMAGE_BITMAP, 0, 0,
                              LR_CREATEDIBSECTION);
        if (!b)
            throw Exception("Glyph " + resourceName + " not found");
        slot.reset(static_cast<HBITMAP>(b));
    }
    return slot.get();
}

void TBitBtn::SetGlyph(const std::string& resourceName) {
    if (ChangeGlyph(glyph_, resourceName) && Handle())
        InvalidateRect(Handle(), nullptr, TRUE);
}

TWinControl::TCreateParams TBitBtn::CreateParams() const {
    return {"BUTTON", WS_CHILD | WS_TABSTOP | BS_OWNERDRAW, 0};
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
    DrawButtonFace(item.hDC, item.rcItem, FontHandle(),
                   {Caption(), glyph_.empty() ? nullptr : LoadGlyph(glyph_), layout_,
                    (item.itemState & ODS_SELECTED) != 0, (item.itemState & ODS_DISABLED) == 0,
                    (item.itemState & ODS_FOCUS) != 0});
}

bool TBitBtn::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "Glyph")
        SetGlyph(v.AsString());
    else if (name == "Layout") {
        const std::string& l = v.AsIdent();
        if (l != "blGlyphLeft" && l != "blGlyphRight")
            return false;
        layout_ = l == "blGlyphLeft" ? TButtonLayout::blGlyphLeft : TButtonLayout::blGlyphRight;
    } else
        return TButton::SetProperty(name, v, e);
    return true;
}

void TSpeedButton::SetGlyph(const std::string& resourceName) {
    if (ChangeGlyph(glyph_, resourceName))
        Invalidate();
}

void TSpeedButton::Click() {
    if (OnClick)
        OnClick(this);
}

void TSpeedButton::Paint(HDC dc) {
    DrawButtonFace(dc, ClientRect(), FontHandle(),
                   {"", glyph_.empty() ? nullptr : LoadGlyph(glyph_), TButtonLayout::blGlyphLeft,
                    pushed_, Enabled(), false});
}

void TSpeedButton::SetPushed(bool pushed) {
    if (pushed == pushed_)
        return;
    pushed_ = pushed;
    Invalidate();
}

void TSpeedButton::MouseDown(int, int) {
    tracking_ = true;
    SetMouseCapture(true);
    SetPushed(true);
}

void TSpeedButton::MouseMove(int x, int y) {
    if (tracking_)
        SetPushed(x >= 0 && y >= 0 && x < Width() && y < Height());
}

void TSpeedButton::MouseUp(int x, int y) {
    if (!tracking_)
        return;
    MouseMove(x, y);
    const bool clicked = pushed_;
    tracking_ = false;
    SetMouseCapture(false);
    SetPushed(false);
    if (clicked)
        Click();
}

void TSpeedButton::MouseCaptureLost() {
    tracking_ = false;
    SetPushed(false);
}

bool TSpeedButton::SetProperty(const std::string& name, const TLayoutValue& v,
                               const TEventTable& e) {
    if (name == "Glyph")
        SetGlyph(v.AsString());
    else if (name == "OnClick")
        OnClick = e.Notify(v.AsIdent());
    else
        return TGraphicControl::SetProperty(name, v, e);
    return true;
}

} // namespace fw
