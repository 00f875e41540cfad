// A control's font as a layout sets it (face, height in pixels, style, colour) and the GDI
// font made from it, owned here. A list of faces takes the first one installed, so a
// layout can name a face that only some systems have and one that every system has.
#pragma once

#include "framework/LayoutReader.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace fw {

class TFont {
  public:
    // The face in use; empty while the layout named none (the application font's face).
    const std::string& Name() const { return name_; }
    // Character height in pixels; 0 while the layout set none (the application font's).
    int Height() const { return height_; }
    bool Bold() const { return bold_; }
    bool Italic() const { return italic_; }
    COLORREF Color() const { return color_; }
    // A face, height or style was set: more than the colour.
    bool Assigned() const { return !name_.empty() || height_ || bold_ || italic_ || underline_; }
    // The application's font while nothing but the colour is set, else one of its own.
    HFONT Handle();

    // Font.Name (a face, or a list of faces), Font.Height (negative: character height),
    // Font.Style (a list of fsBold, fsItalic, fsUnderline), Font.Color.
    bool SetProperty(const std::string& name, const TLayoutValue& value);

  private:
    struct TDeleter {
        void operator()(HFONT font) const { DeleteObject(font); }
    };
    std::string name_;
    int height_ = 0;
    bool bold_ = false, italic_ = false, underline_ = false;
    COLORREF color_ = RGB(0, 0, 0);
    std::unique_ptr<std::remove_pointer_t<HFONT>, TDeleter> handle_;
};

} // namespace fw
