// The recent-files list: order and maximum, its block in the menu, clicks, and its copy
// in Wine's registry.
#include "desktop/MRUList.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

using Names = std::vector<std::string>;

class MRUList : public ::testing::Test {
  protected:
    // A File menu as the main window has it: three commands, the separator N1, one more.
    void SetUp() override {
        file = Item("&File");
        for (const char* c : {"&Select Signature", "Sa&ve Signature", "Save Signature &As..."})
            file->Add(Item(c));
        n1 = Item("-");
        file->Add(n1);
        file->Add(Item("&Change Tag Now!"));
        list->AutoSave = false;
        list->AutoSaveName = "\\Software\\QuiptideTests\\" + TestName();
        list->AutoSaveKey = "MRU Sig Items";
        RegDeleteTreeA(HKEY_CURRENT_USER, Base().c_str());
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, Base().c_str()); }

    static std::string TestName() {
        return ::testing::UnitTest::GetInstance()->current_test_info()->name();
    }
    std::string Base() const { return "Software\\QuiptideTests\\" + TestName(); }
    std::string SubKey() const { return Base() + "\\MRU Sig Items"; }

    fw::TMenuItem* Item(const std::string& caption) {
        auto* item = new fw::TMenuItem(&root);
        item->SetCaption(caption);
        return item;
    }
    static Names Captions(const fw::TMenuItem* menu) {
        Names names;
        for (const fw::TMenuItem* i : menu->Items())
            names.push_back(i->Caption());
        return names;
    }
    void Add(const Names& names) {
        for (const std::string& n : names)
            list->AddItem(n);
    }

    // The registry values of the sub-key, in enumeration order, as "name=data".
    Names Stored() const {
        Names values;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SubKey().c_str(), 0, KEY_READ, &key))
            return values;
        char name[64], data[512];
        for (DWORD i = 0;; ++i) {
            DWORD n = sizeof name, d = sizeof data, type;
            if (RegEnumValueA(key, i, name, &n, nullptr, &type, reinterpret_cast<BYTE*>(data), &d))
                break;
            values.push_back(std::string(name) + "=" + data);
        }
        RegCloseKey(key);
        return values;
    }
    void Store(const std::string& name, DWORD type, const std::string& data) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, SubKey().c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
        RegCloseKey(key);
    }

    fw::TComponent root{nullptr};
    fw::TMenuItem* file = nullptr;
    fw::TMenuItem* n1 = nullptr;
    TMRUFileList* list = new TMRUFileList(&root);
};

TEST_F(MRUList, NewestFirstAndACaseInsensitiveMatchMovesUpInItsOldCase) {
    EXPECT_EQ(list->Maximum(), 5);
    Add({"C:\\Sig\\One.pce", "C:\\Sig\\Two.pce", "C:\\Sig\\Three.pce"});
    EXPECT_EQ(list->Items(), (Names{"C:\\Sig\\Three.pce", "C:\\Sig\\Two.pce", "C:\\Sig\\One.pce"}));
    list->AddItem("c:\\SIG\\one.PCE");
    EXPECT_EQ(list->Items(), (Names{"C:\\Sig\\One.pce", "C:\\Sig\\Three.pce", "C:\\Sig\\Two.pce"}));
}

TEST_F(MRUList, TheMaximumDropsTheOldest) {
    Add({"a", "b", "c", "d", "e", "f"});
    EXPECT_EQ(list->Items(), (Names{"f", "e", "d", "c", "b"}));
    list->SetMaximum(3);
    EXPECT_EQ(list->Items(), (Names{"f", "e", "d"}));
    list->SetMaximum(9);
    EXPECT_EQ(list->Items().size(), 3u) << "raising the maximum deletes nothing";

    list->SetFileMenu(n1);
    list->SetMaximum(0);
    list->AddItem("g");
    EXPECT_TRUE(list->Items().empty());
    EXPECT_EQ(file->Items().size(), 5u) << "no block and no separator";
}

TEST_F(MRUList, EntriesStandNumberedAboveTheAnchorSeparator) {
    Add({"C:\\a.pce", "C:\\b.pce"});
    list->SetFileMenu(n1);
    EXPECT_EQ(Captions(file),
              (Names{"&Select Signature", "Sa&ve Signature", "Save Signature &As...", "-",
                     "&1 C:\\b.pce", "&2 C:\\a.pce", "-", "&Change Tag Now!"}));
    EXPECT_EQ(file->Items()[6], n1);
    auto* second = dynamic_cast<TMRUMenuItem*>(file->Items()[5]);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Position, 2);
    EXPECT_EQ(dynamic_cast<TMRUMenuItem*>(file->Items()[3])->Position, 0);

    // A menu item with entries of its own gets the block at its end.
    list->SetFileMenu(file);
    EXPECT_EQ(Captions(file),
              (Names{"&Select Signature", "Sa&ve Signature", "Save Signature &As...", "-",
                     "&Change Tag Now!", "-", "&1 C:\\b.pce", "&2 C:\\a.pce"}));

    // In a submenu: the separator, then the submenu entry at the end holding the entries.
    list->SetFileMenu(n1);
    list->SetUseSubmenu(true);
    ASSERT_EQ(file->Items().size(), 7u);
    EXPECT_EQ(file->Items()[3]->Caption(), "-");
    EXPECT_EQ(file->Items()[6]->Caption(), "&Reopen");
    EXPECT_EQ(Captions(file->Items()[6]), (Names{"&1 C:\\b.pce", "&2 C:\\a.pce"}));
    list->SetUseSubmenu(false);
    EXPECT_EQ(file->Items().size(), 8u);
}

TEST_F(MRUList, AClickReportsItsFileAndMayTakeItOut) {
    list->SetFileMenu(n1);
    Add({"c", "b", "a"});
    Names clicked;
    list->OnMRUItemClick = [&](fw::TComponent* sender, const std::string& name) {
        EXPECT_NE(dynamic_cast<TMRUMenuItem*>(sender), nullptr);
        clicked.push_back(name);
    };
    file->Items()[5]->Click(); // entry 2
    EXPECT_EQ(clicked, Names{"b"});
    EXPECT_EQ(list->Items(), (Names{"a", "c"}));
    EXPECT_EQ(file->Items()[5]->Caption(), "&2 c");

    list->RemoveOnClick = false;
    file->Items()[4]->Click();
    EXPECT_EQ(list->Items(), (Names{"a", "c"}));

    // Removing the last entry takes the separator with it.
    list->RemoveOnClick = true;
    file->Items()[4]->Click();
    file->Items()[4]->Click();
    EXPECT_EQ(clicked, (Names{"b", "a", "a", "c"}));
    EXPECT_EQ(Captions(file), (Names{"&Select Signature", "Sa&ve Signature",
                                     "Save Signature &As...", "-", "&Change Tag Now!"}));
}

TEST_F(MRUList, AHandlerThatReopensTheFileRebuildsTheMenuSafely) {
    list->SetFileMenu(n1);
    list->RemoveOnClick = false;
    Add({"c", "b", "a"});
    list->OnMRUItemClick = [&](fw::TComponent* sender, const std::string& name) {
        list->AddItem(name); // what opening a file does
        EXPECT_EQ(static_cast<TMRUMenuItem*>(sender)->Position, 3) << "the entry is still whole";
    };
    file->Items()[6]->Click();
    EXPECT_EQ(list->Items(), (Names{"c", "a", "b"}));
    EXPECT_EQ(Captions(file)[4], "&1 c");
    EXPECT_THROW(list->ItemClick(n1), fw::Exception) << "not an entry of the list";
}

TEST_F(MRUList, SavingRewritesTheValuesWholeAndAnEmptyListLeavesNoKey) {
    Add({"1", "2", "3", "4", "5"});
    EXPECT_TRUE(list->SaveToRegistry());
    EXPECT_EQ(Stored(), (Names{"F0=5", "F1=4", "F2=3", "F3=2", "F4=1"}));
    list->SetMaximum(3);
    list->SaveToRegistry();
    EXPECT_EQ(Stored(), (Names{"F0=5", "F1=4", "F2=3"}));

    TMRUFileList empty(nullptr);
    empty.AutoSave = false;
    empty.AutoSaveName = Base(); // without the leading backslash
    empty.AutoSaveKey = "MRU Sig Items";
    empty.SaveToRegistry();
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, SubKey().c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);

    empty.AutoSaveKey = "";
    EXPECT_FALSE(empty.SaveToRegistry());
    EXPECT_FALSE(empty.LoadFromRegistry());
}

TEST_F(MRUList, LoadingKeepsEnumerationOrderSkipsEmptyDataAndIgnoresTheMaximum) {
    for (int i = 0; i < 8; ++i)
        Store("F" + std::to_string(i), i == 2 ? REG_EXPAND_SZ : REG_SZ,
              i == 4 ? "" : "file" + std::to_string(i));
    list->SetFileMenu(n1);
    EXPECT_TRUE(list->LoadFromRegistry());
    EXPECT_EQ(list->Items(),
              (Names{"file0", "file1", "file2", "file3", "file5", "file6", "file7"}));
    EXPECT_EQ(file->Items().size(), 5u + 8u) << "the menu shows the loaded entries";
    list->AddItem("FILE3");
    EXPECT_EQ(list->Items().size(), 7u) << "a listed name does not cut";
    list->AddItem("new");
    EXPECT_EQ(list->Items(), (Names{"new", "file3", "file0", "file1", "file2"}));
}

TEST_F(MRUList, AValueOfAnotherTypeFailsTheLoad) {
    Store("F0", REG_SZ, "kept");
    Store("F1", REG_BINARY, "xx");
    list->AddItem("before");
    try {
        list->LoadFromRegistry();
        ADD_FAILURE() << "a binary value was loaded";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Invalid data type for 'F1'");
    }
    EXPECT_EQ(list->Items(), Names{"before"}) << "a failed load changes nothing";
}

TEST_F(MRUList, TheListLoadsWhenLoadedAndSavesWhenDestroyed) {
    Store("F0", REG_SZ, "saved");
    auto* own = new TMRUFileList(&root);
    own->AutoSaveName = list->AutoSaveName;
    own->AutoSaveKey = list->AutoSaveKey;
    own->Loaded();
    EXPECT_EQ(own->Items(), Names{"saved"});
    own->AddItem("newer");
    delete own;
    EXPECT_EQ(Stored(), (Names{"F0=newer", "F1=saved"}));
}

TEST_F(MRUList, AKeyThatCannotBeCreatedIsReported) {
    list->AddItem("x");
    list->AutoSaveKey = std::string(300, 'k');
    try {
        list->SaveToRegistry();
        ADD_FAILURE() << "saved under an impossible key";
    } catch (const ERegistryException& e) {
        EXPECT_EQ(e.Message(), "Failed to create key " + list->AutoSaveKey);
    }
}

} // namespace
