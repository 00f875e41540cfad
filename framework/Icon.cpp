// TIcon: copy, move and release of the owned icon handle, and loading from resources.
#include "framework/Icon.h"

#include "framework/Exception.h"

#include <string>
#include <utility>

namespace fw {

TIcon::TIcon(const TIcon& other) : handle_(other.handle_ ? CopyIcon(other.handle_) : nullptr) {}

TIcon::TIcon(TIcon&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

TIcon& TIcon::operator=(const TIcon& other) {
    if (this != &other)
        Reset(other.handle_ ? CopyIcon(other.handle_) : nullptr);
    return *this;
}

TIcon& TIcon::operator=(TIcon&& other) noexcept {
    if (this != &other)
        Reset(std::exchange(other.handle_, nullptr));
    return *this;
}

TIcon::~TIcon() {
    Reset(nullptr);
}

void TIcon::Reset(HICON handle) {
    if (handle_)
        DestroyIcon(handle_);
    handle_ = handle;
}

void TIcon::LoadFromResource(HINSTANCE module, const char* name) {
    HANDLE loaded = LoadImageA(module, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
    if (!loaded) {
        std::string shown = IS_INTRESOURCE(name)
                                ? std::to_string(reinterpret_cast<std::uintptr_t>(name))
                                : std::string(name);
        throw Exception("Icon resource " + shown + " not found");
    }
    Reset(static_cast<HICON>(loaded));
}

} // namespace fw
