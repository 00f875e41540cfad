// Fonts of controls: the layout's face list resolved against the installed
// faces, and the GDI font derived from the application's.
#include "framework/Font.h"

#include "framework/Application.h"
#include "framework/Controls.h"

#include <cstring>
#include <vector>

namespace fw {

namespace {

int CALLBACK NoteFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool Installed(const std::string& face) {
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    strncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &lf, NoteFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

std::string FirstInstalled(const TLayoutValue& v) {
    if (v.Kind() == TLayoutValue::TKind::String)
        return v.AsString();
    const std::vector<TLayoutValue>& faces = v.Items();
    if (faces.empty())
        return {};
    for (const TLayoutValue& face : faces)
        if (Installed(face.AsString()))
            return face.AsString();
    return faces.back().AsString(); // left to the system's font mapper
}

} // namespace

bool TFont::SetProperty(const std::string& name, const TLayoutValue& v) {
    if (name == "Font.Name")
        name_ = FirstInstalled(v);
    else if (name == "Font.Height")
        height_ = v.AsInteger() < 0 ? -v.AsInteger() : v.AsInteger();
    else if (name == "Font.Color")
        color_ = ColorFromName(v.AsIdent());
    else if (name == "Font.Style") {
        bold_ = italic_ = underline_ = false;
        for (const TLayoutValue& style : v.Items()) {
            const std::string& s = style.AsIdent();
            if (s == "fsBold")
                bold_ = true;
            else if (s == "fsItalic")
                italic_ = true;
            else if (s == "fsUnderline")
                underline_ = true;
            else
                return false;
        }
    } else
        return false;
    handle_.reset();
    return true;
}

HFONT TFont::Handle() {
    if (!Assigned())
        return Application().Font();
    if (!handle_) {
        LOGFONTA lf{};
        GetObjectA(Application().Font(), sizeof lf, &lf);
        if (!name_.empty()) {
            std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
            strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
        }
        if (height_)
            lf.lfHeight = -height_;
        lf.lfWidth = 0; // the face's own proportions at this height and weight
        lf.lfWeight = bold_ ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = italic_;
        lf.lfUnderline = underline_;
        handle_.reset(CreateFontIndirectA(&lf));
    }
    return handle_.get();
}

} // namespace fw
