// The clipboard over the Win32 clipboard API; it is opened for one call and closed on
// every path.
#include "framework/Clipboard.h"

#include "framework/Strings.h"

#include <windows.h>

#include <cstring>

namespace fw {

namespace {

class TOpenClipboard {
  public:
    TOpenClipboard() : open_(OpenClipboard(nullptr) != 0) {}
    ~TOpenClipboard() {
        if (open_)
            CloseClipboard();
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
    bool Open() const { return open_; }

  private:
    bool open_;
};

class TLockedMemory {
  public:
    explicit TLockedMemory(HANDLE memory)
        : memory_(memory), data_(memory ? GlobalLock(memory) : nullptr) {}
    ~TLockedMemory() {
        if (data_)
            GlobalUnlock(memory_);
    }
    TLockedMemory(const TLockedMemory&) = delete;
    TLockedMemory& operator=(const TLockedMemory&) = delete;
    const void* Data() const { return data_; }
    // The bytes the block holds, which a text need not fill up to its NUL.
    size_t Size() const { return data_ ? GlobalSize(memory_) : 0; }

  private:
    HANDLE memory_;
    void* data_;
};

std::optional<TClipboardText> FromUnicode(HANDLE memory) {
    TLockedMemory lock(memory);
    if (!lock.Data())
        return std::nullopt;
    const auto* wide = static_cast<const wchar_t*>(lock.Data());
    const size_t length = wcsnlen(wide, lock.Size() / sizeof(wchar_t));
    TClipboardText result;
    result.text = AnsiFromWide(std::wstring_view(wide, length), &result.replaced);
    return result;
}

std::optional<TClipboardText> FromAnsi(HANDLE memory) {
    TLockedMemory lock(memory);
    if (!lock.Data())
        return std::nullopt;
    const auto* text = static_cast<const char*>(lock.Data());
    return TClipboardText{std::string(text, strnlen(text, lock.Size())), false};
}

} // namespace

std::optional<TClipboardText> ClipboardText() {
    TOpenClipboard clipboard;
    if (!clipboard.Open())
        return std::nullopt;
    if (IsClipboardFormatAvailable(CF_UNICODETEXT))
        return FromUnicode(GetClipboardData(CF_UNICODETEXT));
    if (IsClipboardFormatAvailable(CF_TEXT))
        return FromAnsi(GetClipboardData(CF_TEXT));
    return std::nullopt;
}

} // namespace fw
