// What a window paints, read back pixel by pixel: the window prints its client area
// (WM_PRINTCLIENT) into a 32-bit bitmap of the window's size. A windowless control is
// read from its parent's print, cut to its bounds.
#pragma once

#include "framework/Controls.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

class TPicture {
  public:
    explicit TPicture(HWND window) : TPicture(window, ClientOf(window)) {}
    explicit TPicture(const fw::TControl& graphic)
        : TPicture(graphic.Parent()->Handle(), graphic.BoundsRect()) {}
    TPicture(HWND window, const RECT& r) {
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof bi.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        // Magenta where the window paints nothing.
        std::fill_n(static_cast<uint32_t*>(bits), width_ * height_, 0x00FF00FFu);
        bits_ = static_cast<const uint32_t*>(bits);
        SetViewportOrgEx(dc_, -r.left, -r.top, nullptr);
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT);
        GdiFlush();
    }
    ~TPicture() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // The colour at (x, y); black outside the picture.
    COLORREF At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return RGB(0, 0, 0);
        const uint32_t p = bits_[y * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // How many pixels have the colour c.
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                n += At(x, y) == c;
        return n;
    }
    // Where the colour c is, row by row.
    std::vector<std::vector<bool>> Mask(COLORREF c) const {
        std::vector<std::vector<bool>> m(height_, std::vector<bool>(width_));
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                m[y][x] = At(x, y) == c;
        return m;
    }

  private:
    static RECT ClientOf(HWND window) {
        RECT r;
        GetClientRect(window, &r);
        return r;
    }

    int width_ = 0, height_ = 0;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const uint32_t* bits_ = nullptr;
};
