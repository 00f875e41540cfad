// The page control: a row of tabs over a stack of tab sheets, showing one sheet at a time.
#pragma once

#include "framework/Controls.h"

#include <vector>

namespace fw {

class TTabSheet;

// The sheets are its tab-sheet children, in their order; the first is active until another
// is chosen by a click on its tab, by the arrow keys on the tabs, by Ctrl+Tab and
// Ctrl+Shift+Tab, by Alt and the letter marked in its caption ("&Tagline"), or by code.
class TPageControl : public TWinControl {
  public:
    explicit TPageControl(TComponent* owner) : TWinControl(owner) {}
    std::vector<TTabSheet*> Pages() const;
    TTabSheet* ActivePage() const;
    int ActivePageIndex() const { return activePage_; }
    void SetActivePageIndex(int index);
    // The next sheet after the active one, or the one before, going round.
    void SelectNextPage(bool forward);

    bool DialogKey(const MSG& msg) override;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
    void Notification(const NMHDR& header) override;
    RECT AlignRect() const override;

  private:
    void ShowActivePage();
    // The first control of the active sheet that the Tab key stops at; null for none.
    HWND FirstControl() const;
    // Tab or Shift+Tab on the focused window: into the active sheet from the tabs, or out
    // of it onto them.
    bool TabKey(HWND focus, bool back);
    int activePage_ = 0;
};

} // namespace fw
