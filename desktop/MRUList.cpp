// The recent-files list: its menu block and its registry copy. Entries are owned by the
// list itself, so neither the list nor the menu can leave the other holding a dangling
// entry whichever goes first.
#include "desktop/MRUList.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

// An open registry key, closed on every path.
class RegKey {
  public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() {
        if (key_)
            RegCloseKey(key_);
    }
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

void CreateKey(HKEY parent, const std::string& name, REGSAM access, RegKey& key) {
    if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, 0, access, nullptr, key.Out(), nullptr) !=
        ERROR_SUCCESS)
        throw ERegistryException("Failed to create key " + name);
}

bool SameFile(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(),
                          static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

// Menu positions are 8-bit: no more entries than that are loaded.
constexpr size_t kMaxEntries = 255;

} // namespace

TMRUFileList::TMRUFileList(fw::TComponent* owner) : TComponent(owner) {}

TMRUFileList::~TMRUFileList() {
    if (AutoSave && !Designing()) {
        try {
            SaveToRegistry();
        } catch (const fw::Exception&) {
        }
    }
}

void TMRUFileList::Loaded() {
    TComponent::Loaded();
    if (AutoSave && !Designing())
        LoadFromRegistry();
}

void TMRUFileList::SetMaximum(std::uint8_t value) {
    if (value == maximum_)
        return;
    if (value < maximum_) {
        if (items_.size() > value)
            items_.resize(value);
        UpdateMenu();
    }
    maximum_ = value;
}

void TMRUFileList::SetUseSubmenu(bool value) {
    if (value == useSubmenu_)
        return;
    useSubmenu_ = value;
    UpdateMenu();
}

void TMRUFileList::SetSubmenuName(const std::string& value) {
    if (value == submenuName_)
        return;
    submenuName_ = value;
    if (useSubmenu_)
        UpdateMenu();
}

void TMRUFileList::SetFileMenu(fw::TMenuItem* value) {
    RemoveMenuItems();
    fileMenu_ = value;
    UpdateMenu();
}

void TMRUFileList::AddItem(const std::string& fileName) {
    auto found = std::find_if(items_.begin(), items_.end(),
                              [&](const std::string& s) { return SameFile(s, fileName); });
    if (found != items_.end())
        std::rotate(items_.begin(), found, found + 1);
    else {
        items_.insert(items_.begin(), fileName);
        if (items_.size() > maximum_)
            items_.resize(maximum_);
    }
    UpdateMenu();
}

bool TMRUFileList::Place(fw::TMenuItem*& container, size_t& at) const {
    if (!fileMenu_)
        return false;
    if (!fileMenu_->Items().empty()) {
        container = fileMenu_;
        at = fileMenu_->Items().size();
        return true;
    }
    container = fileMenu_->Parent();
    if (!container)
        return false;
    const auto& siblings = container->Items();
    at = std::find(siblings.begin(), siblings.end(), fileMenu_) - siblings.begin();
    return true;
}

void TMRUFileList::Retire(TMRUMenuItem* entry) {
    const std::vector<fw::TMenuItem*> children = entry->Items();
    for (fw::TMenuItem* child : children)
        if (auto* own = dynamic_cast<TMRUMenuItem*>(child); own && own->Owner() == this)
            Retire(own);
    if (entry->Parent())
        entry->Parent()->Remove(entry);
    retired_.push_back(entry);
}

void TMRUFileList::RemoveMenuItems() {
    fw::TMenuItem* container;
    size_t at;
    if (!Place(container, at))
        return;
    const std::vector<fw::TMenuItem*> entries = container->Items();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it)
        if (auto* own = dynamic_cast<TMRUMenuItem*>(*it); own && own->Owner() == this)
            Retire(own);
    if (clicking_ == 0) {
        for (TMRUMenuItem* entry : retired_)
            delete entry;
        retired_.clear();
    }
}

TMRUMenuItem* TMRUFileList::NewEntry(const std::string& caption, size_t position) {
    auto* entry = new TMRUMenuItem(this);
    entry->SetCaption(caption);
    entry->Position = static_cast<std::uint8_t>(position);
    return entry;
}

void TMRUFileList::UpdateMenu() {
    if (!fileMenu_)
        return;
    fw::TMenuUpdate batch(fileMenu_->Menu()); // the entries go and come in one rebuild
    RemoveMenuItems();
    fw::TMenuItem* container;
    size_t p;
    if (items_.empty() || !Place(container, p))
        return;
    container->Insert(p++, NewEntry("-", 0));
    fw::TMenuItem* target = container;
    if (useSubmenu_) {
        target = NewEntry(submenuName_, 0);
        container->Add(target);
        p = 0;
    }
    for (size_t i = 0; i < items_.size(); ++i) {
        TMRUMenuItem* entry = NewEntry("&" + std::to_string(i + 1) + " " + items_[i], i + 1);
        entry->OnClick = [this](fw::TComponent* sender) { ItemClick(sender); };
        target->Insert(p++, entry);
    }
}

void TMRUFileList::ItemClick(fw::TComponent* sender) {
    auto* entry = dynamic_cast<TMRUMenuItem*>(sender);
    const int index = entry ? entry->Position - 1 : -1;
    if (index < 0 || static_cast<size_t>(index) >= items_.size())
        throw fw::Exception("List index out of bounds (" + std::to_string(index) + ")");
    const std::string fileName = items_[index];
    // The handler may rebuild the menu (opening a file adds it to the list); the clicked
    // entry must stay alive until its click has returned.
    struct ClickScope {
        int& depth;
        explicit ClickScope(int& d) : depth(d) { ++depth; }
        ~ClickScope() { --depth; }
    } scope(clicking_);
    if (OnMRUItemClick)
        OnMRUItemClick(sender, fileName);
    if (RemoveOnClick) {
        auto it = std::find(items_.begin(), items_.end(), fileName);
        if (it != items_.end())
            items_.erase(it);
        UpdateMenu();
    }
}

std::string TMRUFileList::KeyPath() const {
    return AutoSaveName.substr(std::min(AutoSaveName.find_first_not_of('\\'), AutoSaveName.size()));
}

bool TMRUFileList::SaveToRegistry() {
    if (AutoSaveName.empty() || AutoSaveKey.empty())
        return false;
    RegKey base, list;
    CreateKey(HKEY_CURRENT_USER, KeyPath(), KEY_ALL_ACCESS, base);
    // A shorter list must not leave the values of a longer one behind.
    LONG gone = RegDeleteTreeA(base.Get(), AutoSaveKey.c_str());
    if (gone != ERROR_SUCCESS && gone != ERROR_FILE_NOT_FOUND)
        throw ERegistryException("Failed to create key " + AutoSaveKey);
    for (size_t i = 0; i < items_.size(); ++i) {
        if (!list.Get())
            CreateKey(base.Get(), AutoSaveKey, KEY_ALL_ACCESS, list);
        const std::string name = "F" + std::to_string(i);
        const std::string& data = items_[i];
        if (RegSetValueExA(list.Get(), name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS)
            throw ERegistryException("Failed to set data for '" + name + "'");
    }
    return true;
}

bool TMRUFileList::LoadFromRegistry() {
    if (AutoSaveName.empty() || AutoSaveKey.empty())
        return false;
    RegKey base, list;
    CreateKey(HKEY_CURRENT_USER, KeyPath(), KEY_READ, base);
    std::vector<std::string> loaded;
    if (RegOpenKeyExA(base.Get(), AutoSaveKey.c_str(), 0, KEY_READ, list.Out()) == ERROR_SUCCESS) {
        std::vector<char> name(16384); // the longest value name the registry allows, and a NUL
        std::vector<BYTE> data(1024);
        for (DWORD i = 0; loaded.size() < kMaxEntries; ++i) {
            DWORD nameLen, dataLen, type;
            LONG r;
            // Retried while the data outgrows the buffer; dataLen then says what it needs.
            for (int tries = 0; tries < 4; ++tries) {
                nameLen = static_cast<DWORD>(name.size());
                dataLen = static_cast<DWORD>(data.size());
                r = RegEnumValueA(list.Get(), i, name.data(), &nameLen, nullptr, &type, data.data(),
                                  &dataLen);
                if (r != ERROR_MORE_DATA)
                    break;
                data.resize(std::max<size_t>(dataLen, data.size() * 2));
            }
            if (r != ERROR_SUCCESS)
                break;
            const std::string valueName(name.data(), nameLen);
            if (type != REG_SZ && type != REG_EXPAND_SZ)
                throw ERegistryException("Invalid data type for '" + valueName + "'");
            const char* text = reinterpret_cast<const char*>(data.data());
            std::string value(text, strnlen(text, std::min<size_t>(dataLen, data.size())));
            if (!value.empty())
                loaded.push_back(value);
        }
    }
    items_ = loaded;
    UpdateMenu();
    return true;
}
