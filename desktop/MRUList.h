// TMRUFileList: the recently used files, most recent first, shown as numbered entries in
// a menu and kept in the registry between runs. TMRUMenuItem: an entry it creates, which
// remembers its place in the list.
#pragma once

#include "framework/Component.h"
#include "framework/Exception.h"
#include "framework/Menus.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A registry key or value the list cannot read or write.
class ERegistryException : public fw::Exception {
    using Exception::Exception;
};

class TMRUMenuItem : public fw::TMenuItem {
  public:
    explicit TMRUMenuItem(fw::TComponent* owner) : TMenuItem(owner) {}
    // The entry's 1-based place in the list; 0 for the separator and the submenu entry.
    std::uint8_t Position = 0;
};

// An entry was clicked: the entry, and the file name it stands for.
using TMRUClick = std::function<void(fw::TComponent* sender, const std::string& fileName)>;

class TMRUFileList : public fw::TComponent {
  public:
    explicit TMRUFileList(fw::TComponent* owner);
    // Saves the list when AutoSave is set. A registry failure cannot leave a destructor
    // and is dropped; an owner that wants to see it calls SaveToRegistry first.
    ~TMRUFileList() override;

    std::uint8_t Maximum() const { return maximum_; }
    // A lower maximum drops the oldest entries at once.
    void SetMaximum(std::uint8_t value);
    bool RemoveOnClick = true;
    bool UseSubmenu() const { return useSubmenu_; }
    void SetUseSubmenu(bool value);
    const std::string& SubmenuName() const { return submenuName_; }
    void SetSubmenuName(const std::string& value);
    TMRUClick OnMRUItemClick;
    // Where the entries go: after FileMenu's own entries when it has any, else just above
    // it in its parent. Not owned; it must outlive the list's menu changes.
    fw::TMenuItem* FileMenu() const { return fileMenu_; }
    void SetFileMenu(fw::TMenuItem* value);
    bool AutoSave = true;
    // Key path below HKEY_CURRENT_USER (a leading backslash is optional), and the
    // sub-key holding the values F0, F1, ... with F0 the most recent.
    std::string AutoSaveName = "\\Software\\My Application";
    std::string AutoSaveKey = "MRU Items";

    const std::vector<std::string>& Items() const { return items_; }

    // Puts a name at the top; one already listed (compared case-insensitively by the
    // user's locale) moves there in its old letter case.
    void AddItem(const std::string& fileName);
    virtual void UpdateMenu();
    void RemoveMenuItems();
    // False when AutoSaveName or AutoSaveKey is empty.
    bool LoadFromRegistry();
    bool SaveToRegistry();
    // Every entry's click.
    void ItemClick(fw::TComponent* sender);
    // Loads the list once the owner has set the properties.
    void Loaded() override;

  private:
    bool Place(fw::TMenuItem*& container, size_t& at) const;
    TMRUMenuItem* NewEntry(const std::string& caption, size_t position);
    void Retire(TMRUMenuItem* entry);
    std::string KeyPath() const;

    std::vector<std::string> items_;
    std::uint8_t maximum_ = 5;
    bool useSubmenu_ = false;
    std::string submenuName_ = "&Reopen";
    fw::TMenuItem* fileMenu_ = nullptr;
    // Entries taken out of the menu while a click runs: the clicked entry is among them,
    // so they are destroyed only at the next rebuild outside a click (or with the list).
    std::vector<TMRUMenuItem*> retired_;
    int clicking_ = 0;
};
