// An icon picture owned by its holder: copying copies the picture (CopyIcon), and the
// handle is destroyed with the object. Empty until a picture is loaded or adopted.
#pragma once

#include <windows.h>

namespace fw {

class TIcon {
  public:
    TIcon() = default;
    // Takes ownership of a handle the caller created (CreateIcon, LoadImage, ...).
    explicit TIcon(HICON owned) : handle_(owned) {}
    TIcon(const TIcon& other);
    TIcon(TIcon&& other) noexcept;
    TIcon& operator=(const TIcon& other);
    TIcon& operator=(TIcon&& other) noexcept;
    ~TIcon();

    HICON Handle() const { return handle_; }
    bool Empty() const { return handle_ == nullptr; }

    // Loads an icon resource by name or MAKEINTRESOURCE number; raises fw::Exception
    // when the module has no such icon.
    void LoadFromResource(HINSTANCE module, const char* name);

  private:
    void Reset(HICON handle);
    HICON handle_ = nullptr;
};

} // namespace fw
