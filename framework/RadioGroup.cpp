// The radio group over the hand-painted group box: its buttons are Win32 radio buttons
// that this class checks, so every change of the selection goes through SetItemIndex.
#include "framework/RadioGroup.h"

#include "framework/Application.h"

#include <algorithm>

namespace fw {

namespace {

// Room for the round mark and the gap before the text.
constexpr int kMarkWidth = 24;
constexpr int kSideMargin = 8;
constexpr int kBottomMargin = 4;

// A window's device context with the program's font selected, for measuring text.
class TFontDC {
  public:
    explicit TFontDC(HWND window)
        : window_(window), dc_(GetDC(window)), oldFont_(SelectObject(dc_, Application().Font())) {}
    ~TFontDC() {
        SelectObject(dc_, oldFont_);
        ReleaseDC(window_, dc_);
    }
    TFontDC(const TFontDC&) = delete;
    TFontDC& operator=(const TFontDC&) = delete;
    HDC Get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
    HGDIOBJ oldFont_;
};

void SetStyleBit(HWND window, DWORD bit, bool on) {
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    SetWindowLongA(window, GWL_STYLE, on ? style | bit : style & ~static_cast<LONG>(bit));
}

} // namespace

HWND TRadioGroup::ButtonHandle(int index) const {
    return index >= 0 && index < static_cast<int>(buttons_.size()) ? buttons_[index] : nullptr;
}

void TRadioGroup::HandleCreated() {
    TGroupBox::HandleCreated();
    buttons_.clear();
    HINSTANCE module = GetModuleHandleA(nullptr);
    for (size_t i = 0; i < items_.size(); ++i) {
        // The first button starts the group that the arrow keys move through.
        const DWORD style = WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON | (i == 0 ? WS_GROUP : 0);
        HWND b = CreateWindowExA(0, "BUTTON", items_[i].c_str(), style, 0, 0, 0, 0, Handle(),
                                 nullptr, module, nullptr);
        SendMessageA(b, WM_SETFONT, reinterpret_cast<WPARAM>(Application().Font()), FALSE);
        buttons_.push_back(b);
    }
    Arrange();
    ShowSelection();
}

void TRadioGroup::Arrange() {
    if (buttons_.empty())
        return;
    RECT client;
    GetClientRect(Handle(), &client);
    TFontDC dc(Handle());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc.Get(), &metrics);
    const int count = static_cast<int>(buttons_.size());
    const int rows = (count + columns_ - 1) / columns_;
    const int top = metrics.tmHeight + 2; // below the caption on the frame's top line
    const int height = std::max(0, static_cast<int>(client.bottom) - top - kBottomMargin);
    const int rowHeight = height / rows;
    const int columnWidth = (client.right - 2 * kSideMargin) / columns_;
    for (int i = 0; i < count; ++i) {
        // A button is as wide as its text, so that a control may stand beside it.
        SIZE text{};
        GetTextExtentPoint32A(dc.Get(), items_[i].c_str(), static_cast<int>(items_[i].size()),
                              &text);
        const int width = std::min(columnWidth, static_cast<int>(text.cx) + kMarkWidth);
        SetWindowPos(buttons_[i], nullptr, kSideMargin + (i / rows) * columnWidth,
                     top + (height % rows) / 2 + (i % rows) * rowHeight, width, rowHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void TRadioGroup::ShowSelection() {
    for (size_t i = 0; i < buttons_.size(); ++i) {
        const bool selected = static_cast<int>(i) == itemIndex_;
        SendMessageA(buttons_[i], BM_SETCHECK, selected ? BST_CHECKED : BST_UNCHECKED, 0);
        // The Tab key reaches the group at its selected button, or its first with none.
        SetStyleBit(buttons_[i], WS_TABSTOP, selected || (itemIndex_ < 0 && i == 0));
    }
}

void TRadioGroup::SetItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size()))
        index = -1;
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    if (HandleAllocated())
        ShowSelection();
    if (index >= 0 && OnClick)
        OnClick(this);
}

bool TRadioGroup::DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN)
        return false;
    const int step = msg.wParam == VK_DOWN || msg.wParam == VK_RIGHT ? 1
                     : msg.wParam == VK_UP || msg.wParam == VK_LEFT  ? -1
                                                                     : 0;
    auto at = std::find(buttons_.begin(), buttons_.end(), msg.hwnd);
    if (!step || at == buttons_.end())
        return false;
    // The arrow keys choose the next button or the one before, going round.
    const int count = static_cast<int>(buttons_.size());
    const int next = (static_cast<int>(at - buttons_.begin()) + step + count) % count;
    ::SetFocus(buttons_[next]);
    SetItemIndex(next);
    return true;
}

LRESULT TRadioGroup::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        auto at = std::find(buttons_.begin(), buttons_.end(), reinterpret_cast<HWND>(lParam));
        if (at != buttons_.end()) {
            SetItemIndex(static_cast<int>(at - buttons_.begin()));
            return 0;
        }
    }
    if (msg == WM_SIZE)
        Arrange();
    else if (msg == WM_DESTROY)
        buttons_.clear(); // the buttons go with the frame
    return TGroupBox::WndProc(msg, wParam, lParam);
}

bool TRadioGroup::SetProperty(const std::string& name, const TLayoutValue& v,
                              const TEventTable& e) {
    if (name == "Items.Strings") {
        items_.clear();
        for (const TLayoutValue& item : v.Items())
            items_.push_back(item.AsString());
    } else if (name == "Columns")
        columns_ = std::max(1, v.AsInteger());
    else if (name == "ItemIndex")
        itemIndex_ = v.AsInteger();
    else if (name == "OnClick")
        OnClick = e.Notify(v.AsIdent());
    else
        return TGroupBox::SetProperty(name, v, e);
    return true;
}

} // namespace fw
