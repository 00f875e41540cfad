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
using TBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, TBitmapDeleter>;

struct TDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using TMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, TDcDeleter>;

} // namespace

// A glyph and, made once, the two images that draw it with plain copies: the mask, white
// where the glyph shows what lies under it, and the glyph with those pixels black.
// TransparentBlt would compare every pixel at every paint, and under Wine each call costs
// round trips to its server.
struct TGlyph {
    TBitmap image, mask, masked;
    SIZE size{};
    COLORREF transparent = 0; // the colour of the glyph's lower-left pixel
};

namespace {

void MakeMasks(TGlyph& g) {
    BITMAP bm{};
    GetObjectA(g.image.get(), sizeof bm, &bm);
    const int w = bm.bmWidth, h = bm.bmHeight;
    g.size = {w, h};
    TMemoryDc src(CreateCompatibleDC(nullptr)), mask(CreateCompatibleDC(nullptr)),
        masked(CreateCompatibleDC(nullptr));
    HGDIOBJ oldSrc = SelectObject(src.get(), g.image.get());
    g.mask.reset(CreateBitmap(w, h, 1, 1, nullptr));
    g.masked.reset(CreateCompatibleBitmap(src.get(), w, h)); // the glyph's own format
    HGDIOBJ oldMask = SelectObject(mask.get(), g.mask.get());
    HGDIOBJ oldMasked = SelectObject(masked.get(), g.masked.get());
    g.transparent = GetPixel(src.get(), 0, h - 1);
    // Copied to a monochrome bitmap, the source's background colour turns white.
    SetBkColor(src.get(), g.transparent);
    BitBlt(mask.get(), 0, 0, w, h, src.get(), 0, 0, SRCCOPY);
    BitBlt(masked.get(), 0, 0, w, h, src.get(), 0, 0, SRCCOPY);
    SetBkColor(masked.get(), RGB(255, 255, 255));
    SetTextColor(masked.get(), RGB(0, 0, 0));
    BitBlt(masked.get(), 0, 0, w, h, mask.get(), 0, 0, 0x00220326); // dest & ~mask
    SelectObject(src.get(), oldSrc);
    SelectObject(mask.get(), oldMask);
    SelectObject(masked.get(), oldMasked);
}

// Copies the glyph onto dc, leaving out the pixels of its lower-left pixel's colour.
void DrawGlyph(HDC dc, const TGlyph& glyph, int x, int y, bool enabled) {
    const int w = glyph.size.cx, h = glyph.size.cy;
    TMemoryDc src(CreateCompatibleDC(dc));
    if (enabled) {
        HGDIOBJ old = SelectObject(src.get(), glyph.mask.get());
        const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
        const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
        BitBlt(dc, x, y, w, h, src.get(), 0, 0, SRCAND);
        SelectObject(src.get(), glyph.masked.get());
        BitBlt(dc, x, y, w, h, src.get(), 0, 0, SRCPAINT);
        SetBkColor(dc, oldBk);
        SetTextColor(dc, oldText);
        SelectObject(src.get(), old);
        return;
    }
    // Disabled: the glyph's shape, embossed in the system's shadow colours.
    HGDIOBJ old = SelectObject(src.get(), glyph.image.get());
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px)
            if (GetPixel(src.get(), px, py) != glyph.transparent) {
                SetPixel(dc, x + px + 1, y + py + 1, GetSysColor(COLOR_BTNHIGHLIGHT));
                SetPixel(dc, x + px, y + py, GetSysColor(COLOR_BTNSHADOW));
            }
    SelectObject(src.get(), old);
}

// A push button's face: frame, glyph and caption side by side and centred, moved a pixel
// down-right while pushed, embossed while disabled, with a focus frame when focused.
struct TButtonFace {
    std::string text;
    const TGlyph* glyph;
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
    const TGlyph* glyph = face.glyph;
    const SIZE bm = glyph ? glyph->size : SIZE{};
    int gap = glyph && !text.empty() ? 4 : 0;
    int total = bm.cx + gap + textSize.cx;
    int x = (r.left + r.right - total) / 2 + (pushed ? 1 : 0);
    int cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
    bool glyphFirst = face.layout == TButtonLayout::blGlyphLeft;
    int glyphX = glyphFirst ? x : x + textSize.cx + gap;
    int textX = glyphFirst ? x + bm.cx + gap : x;
    if (glyph)
        DrawGlyph(dc, *glyph, glyphX, cy - bm.cy / 2, enabled);
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

const TGlyph& LoadGlyph(const std::string& resourceName) {
    static std::map<std::string, TGlyph> glyphs;
    if (auto at = glyphs.find(resourceName); at != glyphs.end())
        return at->second;
    HANDLE b = LoadImageA(GetModuleHandleA(nullptr), resourceName.c_str(), IMAGE_BITMAP, 0, 0,
                          LR_CREATEDIBSECTION);
    if (!b)
        throw Exception("Glyph " + resourceName + " not found");
    TGlyph& g = glyphs[resourceName];
    g.image.reset(static_cast<HBITMAP>(b));
    MakeMasks(g);
    return g;
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
                   {Caption(), glyph_.empty() ? nullptr : &LoadGlyph(glyph_), layout_,
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
                   {"", glyph_.empty() ? nullptr : &LoadGlyph(glyph_), TButtonLayout::blGlyphLeft,
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
