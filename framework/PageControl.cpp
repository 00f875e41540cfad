// The page control over the Win32 tab control, whose children are the sheets.
#include "framework/PageControl.h"

#include "framework/TabSheet.h"

#include <commctrl.h>

#include <cctype>

namespace fw {

namespace {

// The letter after the single "&" of a caption, in upper case; 0 when there is none.
char Accelerator(const std::string& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i)
        if (caption[i] == '&') {
            if (caption[i + 1] != '&')
                return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i + 1])));
            ++i; // "&&" is an ampersand
        }
    return 0;
}

} // namespace

std::vector<TTabSheet*> TPageControl::Pages() const {
    std::vector<TTabSheet*> pages;
    for (TControl* c : Controls())
        if (auto* sheet = dynamic_cast<TTabSheet*>(c))
            pages.push_back(sheet);
    return pages;
}

TTabSheet* TPageControl::ActivePage() const {
    const std::vector<TTabSheet*> pages = Pages();
    return activePage_ < static_cast<int>(pages.size()) ? pages[activePage_] : nullptr;
}

TWinControl::TCreateParams TPageControl::CreateParams() const {
    // TCS_MULTILINE: tabs that do not fit in one row take a second, rather than scroll out
    // of sight. WS_EX_CONTROLPARENT: the dialog keys reach the controls on the sheets.
    return {WC_TABCONTROLA,
            WS_CHILD | WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_MULTILINE,
            WS_EX_CONTROLPARENT};
}

void TPageControl::HandleCreated() {
    const std::vector<TTabSheet*> pages = Pages();
    for (size_t i = 0; i < pages.size(); ++i) {
        std::string text = pages[i]->Caption();
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageA(Handle(), TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    ShowActivePage();
}

RECT TPageControl::AlignRect() const {
    RECT r = TWinControl::AlignRect();
    if (HandleAllocated())
        SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TPageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= static_cast<int>(Pages().size()) || index == activePage_)
        return;
    // The focus leaves a sheet that is put away for the first control of the new one.
    HWND focus = GetFocus();
    const TTabSheet* old = ActivePage();
    const bool focusOnOldPage =
        focus && old && old->HandleAllocated() && IsChild(old->Handle(), focus);
    activePage_ = index;
    ShowActivePage();
    if (focusOnOldPage) {
        HWND first = FirstControl();
        ::SetFocus(first ? first : Handle());
    }
}

HWND TPageControl::FirstControl() const {
    const TTabSheet* page = ActivePage();
    if (!page || !page->HandleAllocated())
        return nullptr;
    HWND first = GetNextDlgTabItem(page->Handle(), nullptr, FALSE);
    return first && IsChild(page->Handle(), first) ? first : nullptr;
}

void TPageControl::ShowActivePage() {
    if (HandleAllocated() && SendMessageA(Handle(), TCM_GETCURSEL, 0, 0) != activePage_)
        SendMessageA(Handle(), TCM_SETCURSEL, activePage_, 0);
    const std::vector<TTabSheet*> pages = Pages();
    if (pages.empty())
        return;
    // The new sheet appears before the old one goes, so the area never shows empty.
    pages[activePage_]->Show();
    for (size_t i = 0; i < pages.size(); ++i)
        if (static_cast<int>(i) != activePage_)
            pages[i]->Hide();
}

void TPageControl::SelectNextPage(bool forward) {
    const int count = static_cast<int>(Pages().size());
    if (count > 0)
        SetActivePageIndex((activePage_ + (forward ? 1 : count - 1)) % count);
}

void TPageControl::Notification(const NMHDR& header) {
    if (header.code == TCN_SELCHANGE)
        SetActivePageIndex(static_cast<int>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)));
}

bool TPageControl::TabKey(HWND focus, bool back) {
    // The sheets are inside the tab control, so the dialog keys pass its tabs by; they take
    // their place in the Tab order before the first control of the sheet, after its last.
    HWND first = FirstControl();
    if (!first)
        return false;
    HWND last = GetNextDlgTabItem(ActivePage()->Handle(), first, TRUE);
    if (focus == Handle())
        ::SetFocus(back ? last : first);
    else if (focus == (back ? first : last))
        ::SetFocus(Handle());
    else
        return false;
    return true;
}

bool TPageControl::DialogKey(const MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
        const bool back = GetKeyState(VK_SHIFT) < 0;
        if (GetKeyState(VK_CONTROL) >= 0)
            return TabKey(msg.hwnd, back);
        SelectNextPage(!back);
        return true;
    }
    if (msg.message == WM_SYSCHAR) {
        const char key = static_cast<char>(std::toupper(static_cast<int>(msg.wParam & 0xFF)));
        const std::vector<TTabSheet*> pages = Pages();
        for (size_t i = 0; i < pages.size(); ++i)
            if (key && Accelerator(pages[i]->Caption()) == key) {
                SetActivePageIndex(static_cast<int>(i));
                return true;
            }
    }
    return false;
}

} // namespace fw
