// Menus over Win32 menu handles. Items get command numbers from one table so that a
// WM_COMMAND from any menu finds its item.
#include "framework/Menus.h"

#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/Exception.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace fw {

namespace {

std::map<UINT, TMenuItem*>& Commands() {
    static std::map<UINT, TMenuItem*> commands;
    return commands;
}

constexpr UINT kCtrl = 0x10000, kShift = 0x20000, kAlt = 0x40000;

// The key code of a shortcut text; 0 when the text is not one.
UINT ParseShortCut(const std::string& text) {
    UINT code = 0;
    size_t at = 0;
    for (size_t plus; (plus = text.find('+', at)) != std::string::npos; at = plus + 1) {
        const std::string modifier = text.substr(at, plus - at);
        if (modifier == "Ctrl")
            code |= kCtrl;
        else if (modifier == "Shift")
            code |= kShift;
        else if (modifier == "Alt")
            code |= kAlt;
        else
            return 0;
    }
    const std::string key = text.substr(at);
    if (key.size() == 1 && ((key[0] >= 'A' && key[0] <= 'Z') || (key[0] >= '0' && key[0] <= '9')))
        return code | static_cast<UINT>(key[0]);
    if (key.size() >= 2 && key.size() <= 3 && key[0] == 'F' &&
        key.find_first_not_of("0123456789", 1) == std::string::npos) {
        const int n = std::stoi(key.substr(1));
        if (n >= 1 && n <= 24)
            return code | static_cast<UINT>(VK_F1 + n - 1);
    }
    return 0;
}

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

UINT NextCommand() {
    static UINT next = 100;
    while (Commands().count(next) || next == 0)
        ++next;
    return next++;
}

} // namespace

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {
    Commands()[command_] = this;
}

TMenuItem::~TMenuItem() {
    Commands().erase(command_);
    for (TMenuItem* i : items_)
        i->parent_ = nullptr;
    if (parent_) {
        auto& siblings = parent_->items_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    if (menu_)
        menu_->Forget(this);
}

TMenuItem* TMenuItem::FindCommand(UINT command) {
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

bool TMenuItem::DispatchCommand(UINT command) {
    TMenuItem* item = FindCommand(command);
    if (!item)
        return false;
    item->Click();
    return true;
}

void TMenuItem::Click() {
    if (enabled_ && OnClick)
        OnClick(this);
}

TMenu* TMenuItem::Menu() const {
    const TMenuItem* top = this;
    while (top->parent_)
        top = top->parent_;
    return top->menu_;
}

void TMenuItem::Changed() {
    if (TMenu* menu = Menu())
        menu->ItemsChanged();
}

void TMenuItem::SetCaption(const std::string& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    Changed();
}

void TMenuItem::SetShortCut(const std::string& text) {
    const UINT key = text.empty() ? 0 : ParseShortCut(text);
    if (!text.empty() && key == 0)
        throw Exception("Not a shortcut key: " + text);
    if (text == shortCut_)
        return;
    shortCut_ = text;
    shortCutKey_ = key;
    Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Changed();
}

void TMenuItem::SetDefault(bool isDefault) {
    if (isDefault == default_)
        return;
    default_ = isDefault;
    Changed();
}

void TMenuItem::SetChecked(bool checked) {
    if (checked == checked_)
        return;
    checked_ = checked;
    Changed();
}

void TMenuItem::Add(TMenuItem* item) {
    item->parent_ = this;
    items_.push_back(item);
    Changed();
}

void TMenuItem::Insert(size_t index, TMenuItem* item) {
    item->parent_ = this;
    items_.insert(items_.begin() + std::min(index, items_.size()), item);
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end())
        return;
    items_.erase(it);
    item->parent_ = nullptr;
    Changed();
}

void TMenuItem::InsertChild(TComponent* child) {
    if (auto* item = dynamic_cast<TMenuItem*>(child))
        Add(item);
}

void TMenuItem::AppendTo(HMENU menu) const {
    if (IsSeparator()) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        return;
    }
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
    mi.wID = command_;
    std::string text = shortCut_.empty() ? caption_ : caption_ + "\t" + shortCut_;
    mi.dwTypeData = text.data();
    mi.fState = (enabled_ ? MFS_ENABLED : MFS_GRAYED) | (default_ ? MFS_DEFAULT : 0) |
                (checked_ ? MFS_CHECKED : 0);
    if (!items_.empty()) {
        mi.fMask |= MIIM_SUBMENU;
        mi.hSubMenu = CreatePopupMenu();
        for (TMenuItem* i : items_)
            i->AppendTo(mi.hSubMenu);
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &mi);
}

bool TMenuItem::SetProperty(const std::string& name, const TLayoutValue& v,
                            const TEventTable& events) {
    if (name == "Caption")
        caption_ = v.AsString();
    else if (name == "Hint")
        hint_ = v.AsString();
    else if (name == "HelpContext")
        helpContext_ = v.AsInteger();
    else if (name == "Enabled")
        enabled_ = v.AsBoolean();
    else if (name == "Default")
        default_ = v.AsBoolean();
    else if (name == "ShortCut")
        SetShortCut(v.AsString());
    else if (name == "OnClick")
        OnClick = events.Notify(v.AsIdent());
    else
        return false;
    return true;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner) {}

void TMenu::Add(TMenuItem* item) {
    item->menu_ = this;
    items_.push_back(item);
    ItemsChanged();
}

void TMenu::ItemsChanged() {
    if (updating_ > 0)
        pending_ = true;
    else
        Changed();
}

TMenuUpdate::TMenuUpdate(TMenu* menu) : menu_(menu) {
    if (menu_)
        ++menu_->updating_;
}

TMenuUpdate::~TMenuUpdate() {
    if (!menu_ || --menu_->updating_ > 0 || !menu_->pending_)
        return;
    menu_->pending_ = false;
    menu_->Changed();
}

void TMenu::InsertChild(TComponent* child) {
    if (auto* item = dynamic_cast<TMenuItem*>(child))
        Add(item);
}

void TMenu::Forget(TMenuItem* item) {
    items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
}

TMenuItem* TMenu::FindItem(const std::string& caption) const {
    std::function<TMenuItem*(const std::vector<TMenuItem*>&)> search =
        [&](const std::vector<TMenuItem*>& items) -> TMenuItem* {
        for (TMenuItem* i : items) {
            if (i->Caption() == caption)
                return i;
            if (TMenuItem* found = search(i->Items()))
                return found;
        }
        return nullptr;
    };
    return search(items_);
}

bool TMenu::DispatchShortCut(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    const UINT key = static_cast<UINT>(msg.wParam) | (KeyDown(VK_CONTROL) ? kCtrl : 0) |
                     (KeyDown(VK_SHIFT) ? kShift : 0) | (KeyDown(VK_MENU) ? kAlt : 0);
    std::function<TMenuItem*(const std::vector<TMenuItem*>&)> search =
        [&](const std::vector<TMenuItem*>& items) -> TMenuItem* {
        for (TMenuItem* i : items) {
            if (!i->Enabled())
                continue;
            if (i->shortCutKey_ == key)
                return i;
            if (TMenuItem* found = search(i->Items()))
                return found;
        }
        return nullptr;
    };
    TMenuItem* item = search(items_);
    if (item)
        item->Click();
    return item != nullptr;
}

void TMenu::Fill(HMENU menu) const {
    for (TMenuItem* i : items_)
        i->AppendTo(menu);
}

TMainMenu::~TMainMenu() {
    if (handle_)
        DestroyMenu(handle_);
}

HMENU TMainMenu::Handle() {
    if (!handle_) {
        handle_ = CreateMenu();
        Fill(handle_);
    }
    return handle_;
}

void TMainMenu::Changed() {
    if (!handle_)
        return;
    // Rebuilt in place: the window keeps the same menu handle.
    while (GetMenuItemCount(handle_) > 0)
        DeleteMenu(handle_, 0, MF_BYPOSITION);
    Fill(handle_);
    if (auto* form = dynamic_cast<TWinControl*>(Owner()); form && form->Handle())
        DrawMenuBar(form->Handle());
}

bool TMainMenu::SetProperty(const std::string&, const TLayoutValue&, const TEventTable&) {
    return false;
}

void TPopupMenu::Popup(int x, int y) {
    std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)> menu(CreatePopupMenu(),
                                                                               DestroyMenu);
    Fill(menu.get());
    HWND owner = Application().Handle();
    UINT command = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y,
                                  0, owner, nullptr);
    PostMessageA(owner, WM_NULL, 0, 0); // lets a tray menu close when the user clicks away
    menu.reset();
    if (command)
        TMenuItem::DispatchCommand(command);
}

bool TPopupMenu::SetProperty(const std::string& name, const TLayoutValue& v, const TEventTable&) {
    if (name == "AutoPopup") {
        autoPopup_ = v.AsBoolean();
        return true;
    }
    return false;
}

} // namespace fw
