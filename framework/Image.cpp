// The picture control: loading from resources and drawing over what lies behind it.
#include "framework/Image.h"

#include "framework/Exception.h"

namespace fw {

void TImage::LoadBitmapResource(const std::string& resourceName) {
    HANDLE b = LoadImageA(GetModuleHandleA(nullptr), resourceName.c_str(), IMAGE_BITMAP, 0, 0,
                          LR_CREATEDIBSECTION);
    if (!b)
        throw Exception("Bitmap resource " + resourceName + " not found");
    bitmap_.reset(static_cast<HBITMAP>(b));
    icon_ = TIcon();
    Invalidate();
}

void TImage::LoadIconResource(const std::string& resourceName) {
    icon_.LoadFromResource(GetModuleHandleA(nullptr), resourceName.c_str());
    bitmap_.reset();
    Invalidate();
}

SIZE TImage::PictureSize() const {
    if (bitmap_) {
        BITMAP bm{};
        GetObjectA(bitmap_.get(), sizeof bm, &bm);
        return {bm.bmWidth, bm.bmHeight};
    }
    if (!icon_.Empty()) {
        ICONINFO info{};
        GetIconInfo(icon_.Handle(), &info);
        BITMAP bm{};
        GetObjectA(info.hbmMask, sizeof bm, &bm);
        // The mask of an icon without colour bitmap holds both halves, one above the other.
        const SIZE size{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        return size;
    }
    return {0, 0};
}

void TImage::SetStretch(bool stretch) {
    if (stretch == stretch_)
        return;
    stretch_ = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center) {
    if (center == center_)
        return;
    center_ = center;
    Invalidate();
}

RECT TImage::PictureRect() const {
    const RECT client = ClientRect();
    if (stretch_)
        return client;
    const SIZE size = PictureSize();
    int x = 0, y = 0;
    if (center_) {
        x = (client.right - size.cx) / 2;
        y = (client.bottom - size.cy) / 2;
    }
    return {x, y, x + size.cx, y + size.cy};
}

void TImage::Paint(HDC dc) {
    const RECT r = PictureRect();
    if (bitmap_) {
        const SIZE size = PictureSize();
        HDC src = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(src, bitmap_.get());
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, src, 0, 0, size.cx,
                   size.cy, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
    } else if (!icon_.Empty()) {
        DrawIconEx(dc, r.left, r.top, icon_.Handle(), r.right - r.left, r.bottom - r.top, 0,
                   nullptr, DI_NORMAL);
    }
}

bool TImage::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable& e) {
    if (name == "Picture.Bitmap")
        LoadBitmapResource(v.AsString());
    else if (name == "Picture.Icon")
        LoadIconResource(v.AsString());
    else if (name == "Stretch")
        stretch_ = v.AsBoolean();
    else if (name == "Center")
        center_ = v.AsBoolean();
    else
        return TGraphicControl::SetProperty(name, v, e);
    return true;
}

} // namespace fw
