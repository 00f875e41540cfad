// Menus: items with captions, hints, help contexts, shortcut keys and click events; the
// main menu of a form and pop-up menus (context and tray menus).
#pragma once

#include "framework/Component.h"
#include "framework/Events.h"
#include "framework/LayoutReader.h"

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

class TMenu;

class TMenuItem : public TComponent, public TLayoutParent {
  public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { hint_ = hint; }
    int HelpContext() const { return helpContext_; }
    void SetHelpContext(int context) { helpContext_ = context; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool IsSeparator() const { return caption_ == "-"; }
    // The key that clicks the item, as the menu shows it after the caption: "Ctrl+F",
    // "F3", "Shift+Ctrl+X" (modifiers Ctrl, Shift, Alt; a letter, a digit or F1-F24).
    // Raises for a text of another form.
    const std::string& ShortCut() const { return shortCut_; }
    void SetShortCut(const std::string& text);

    TNotifyEvent OnClick;
    void Click();

    TMenuItem* Parent() const { return parent_; }
    // The menu whose top level holds this item or the items above it; none while the
    // item is in no menu.
    TMenu* Menu() const;
    const std::vector<TMenuItem*>& Items() const { return items_; }
    void Add(TMenuItem* item);
    // Places an item among this item's entries at a position (0 = first), and takes one
    // out again without destroying it.
    void Insert(size_t index, TMenuItem* item);
    void Remove(TMenuItem* item);
    void InsertChild(TComponent* child) override;

    // The command number the item carries in a system menu.
    UINT Command() const { return command_; }
    static TMenuItem* FindCommand(UINT command);
    // Runs the click of the item with that command number; false when there is none.
    static bool DispatchCommand(UINT command);

    bool SetProperty(const std::string& name, const TLayoutValue& value, const TEventTable& events);

  private:
    friend class TMenu;
    void AppendTo(HMENU menu) const;
    void Changed();

    std::string caption_;
    std::string hint_;
    std::string shortCut_;
    UINT shortCutKey_ = 0; // virtual key, with kCtrl, kShift, kAlt in the bits above it
    int helpContext_ = 0;
    bool enabled_ = true;
    bool checked_ = false;
    bool default_ = false;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr; // the menu whose top level holds this item
    std::vector<TMenuItem*> items_;
    UINT command_;
};

class TMenu : public TComponent, public TLayoutParent {
  public:
    explicit TMenu(TComponent* owner);
    const std::vector<TMenuItem*>& Items() const { return items_; }
    void Add(TMenuItem* item);
    void InsertChild(TComponent* child) override;
    // Finds an item anywhere in the menu by its caption ("&Select DB").
    TMenuItem* FindItem(const std::string& caption) const;
    // A key press (WM_KEYDOWN, WM_SYSKEYDOWN) that is the shortcut of an item which, with
    // every menu above it, is enabled: clicks the item and gives true.
    bool DispatchShortCut(const MSG& msg) const;

  protected:
    friend class TMenuItem;
    friend class TMenuUpdate;
    void Fill(HMENU menu) const;
    virtual void Changed() {}
    void Forget(TMenuItem* item);

  private:
    // Changed at once, or once when the outermost batch of changes ends.
    void ItemsChanged();
    std::vector<TMenuItem*> items_;
    int updating_ = 0;
    bool pending_ = false;
};

// A batch of item changes to a menu: the menu is rebuilt once, when the outermost batch
// ends, not at each change. Every rebuild is a round of system calls and a redrawn menu
// bar.
class TMenuUpdate {
  public:
    explicit TMenuUpdate(TMenu* menu);
    ~TMenuUpdate();
    TMenuUpdate(const TMenuUpdate&) = delete;
    TMenuUpdate& operator=(const TMenuUpdate&) = delete;

  private:
    TMenu* menu_;
};

class TMainMenu : public TMenu {
  public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
    ~TMainMenu() override;
    HMENU Handle(); // built on first use, rebuilt whenever an item changes
    bool SetProperty(const std::string& name, const TLayoutValue& value, const TEventTable& events);

  protected:
    void Changed() override;

  private:
    HMENU handle_ = nullptr;
};

class TPopupMenu : public TMenu {
  public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
    // Whether a right click on the owner's window opens the menu by itself.
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool value) { autoPopup_ = value; }
    // Opens the menu at a screen position and waits for the choice; the chosen item's
    // click runs after the menu has closed.
    void Popup(int x, int y);
    bool SetProperty(const std::string& name, const TLayoutValue& value, const TEventTable& events);

  private:
    bool autoPopup_ = true;
};

} // namespace fw
