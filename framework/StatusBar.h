// The status bar with panels of fixed widths, whose texts are changed in one batch so
// the bar repaints once.
#pragma once

#include "framework/Controls.h"

#include <string>
#include <vector>

namespace fw {

class TStatusBar;

class TStatusPanel {
  public:
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    int Width() const { return width_; }
    TAlignment Alignment() const { return alignment_; }

  private:
    friend class TStatusBar;
    TStatusBar* bar_ = nullptr;
    int index_ = 0;
    std::string text_;
    int width_ = 50;
    TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TStatusBar : public TWinControl {
  public:
    explicit TStatusBar(TComponent* owner) : TWinControl(owner) {}

    size_t PanelCount() const { return panels_.size(); }
    TStatusPanel& Panel(size_t index) { return panels_.at(index); }
    // Between these, panel changes are held back and shown together at the end.
    void BeginUpdate() { ++updating_; }
    void EndUpdate();
    // The text the bar's window shows in a panel (for checks of what the user sees).
    std::string ShownText(size_t index) const;

    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;

  private:
    friend class TStatusPanel;
    void PanelChanged(int index);
    void ApplyText(int index);
    std::vector<TStatusPanel> panels_;
    int updating_ = 0;
    std::vector<int> pending_;
};

} // namespace fw
