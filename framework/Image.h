// The image: a windowless picture from the program's resources, a bitmap or an icon,
// drawn at its own size or stretched to the control, and centred in the control when
// smaller.
#pragma once

#include "framework/GraphicControl.h"
#include "framework/Icon.h"

#include <memory>
#include <string>
#include <type_traits>

namespace fw {

class TImage : public TGraphicControl {
  public:
    explicit TImage(TComponent* owner) : TGraphicControl(owner) {}

    // The picture by resource name; raise when the program has no such resource.
    void LoadBitmapResource(const std::string& resourceName);
    void LoadIconResource(const std::string& resourceName);
    HBITMAP Bitmap() const { return bitmap_.get(); }
    const TIcon& Icon() const { return icon_; }
    // The picture's own size (0 by 0 without one).
    SIZE PictureSize() const;
    bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    bool Center() const { return center_; }
    void SetCenter(bool center);

    // Picture.Bitmap or Picture.Icon (a resource name), Stretch, Center.
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    void Paint(HDC dc) override;

  private:
    struct TDeleter {
        void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
    };
    // Where the picture goes in the client area.
    RECT PictureRect() const;

    std::unique_ptr<std::remove_pointer_t<HBITMAP>, TDeleter> bitmap_;
    TIcon icon_;
    bool stretch_ = false;
    bool center_ = false;
};

} // namespace fw
