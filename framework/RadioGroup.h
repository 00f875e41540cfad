// The radio group: a captioned frame of radio buttons made from a list of items, of which
// at most one is selected.
#pragma once

#include "framework/Events.h"
#include "framework/GroupBox.h"

#include <string>
#include <vector>

namespace fw {

// The buttons fill the frame in Columns columns, top to bottom and then left to right.
// ItemIndex is the selected item, -1 for none; the arrow keys and a click choose another, and
// the Tab key reaches the group without choosing. OnClick is raised whenever an item becomes
// selected, by the user or by code, so a form filling its groups from its data hears the
// same notice as a click.
class TRadioGroup : public TGroupBox {
  public:
    explicit TRadioGroup(TComponent* owner) : TGroupBox(owner) {}
    TNotifyEvent OnClick;
    const std::vector<std::string>& Items() const { return items_; }
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    int Columns() const { return columns_; }
    // The window of an item's button (for checks of what the user sees and clicks).
    HWND ButtonHandle(int index) const;
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;
    bool DialogKey(const MSG& msg) override;

  protected:
    void HandleCreated() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Arrange();
    void ShowSelection();

    std::vector<std::string> items_;
    std::vector<HWND> buttons_; // child windows of the frame, destroyed with it
    int itemIndex_ = -1;
    int columns_ = 1;
};

} // namespace fw
