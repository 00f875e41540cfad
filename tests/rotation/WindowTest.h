// What the main window's signature and cycling tests share: the window built in the
// test program's folder (a copy holding the starter table) on an empty registry, a clock
// the test sets, settings written before the start, files read and written whole, and a
// hand on the signature selection dialog while it runs.
#pragma once

#include "desktop/TrayIcon.h"
#include "framework/Application.h"
#include "framework/data/Table.h"
#include "framework/DateFormat.h"
#include "framework/Menus.h"
#include "framework/Paths.h"
#include "framework/Process.h"
#include "rotation/Clock.h"
#include "rotation/Main.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

class TFakeClock : public TClock {
  public:
    SYSTEMTIME local{2026, 12, 0, 6, 10, 0, 0, 0};
    SYSTEMTIME utc{2026, 12, 0, 6, 9, 0, 0, 0};
    SYSTEMTIME Local() const override { return local; }
    SYSTEMTIME Utc() const override { return utc; }
    void SetLocal(WORD y, WORD mo, WORD d, WORD h, WORD mi, WORD s) {
        local = SYSTEMTIME{y, mo, 0, d, h, mi, s, 0};
    }
};

// Settings as the registry holds them: type and bytes, read and written raw.
inline const char* const kConfig = "Software\\Brindlex\\Quiptide\\Configuration";

struct Raw {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool present = false;
};

inline Raw ReadRaw(const char* name) {
    Raw r;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kConfig, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return r;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &r.type, nullptr, &size) == ERROR_SUCCESS) {
        r.data.resize(size);
        RegQueryValueExA(key, name, nullptr, &r.type, r.data.data(), &size);
        r.present = true;
    }
    RegCloseKey(key);
    return r;
}

inline DWORD ValueCount() {
    HKEY key;
    DWORD count = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kConfig, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr,
                         nullptr, nullptr, nullptr);
        RegCloseKey(key);
    }
    return count;
}

inline void WriteRaw(const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kConfig, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

inline void WriteDword(const char* name, DWORD value) {
    WriteRaw(name, REG_DWORD, &value, 4);
}

inline void WriteString(const char* name, const std::string& value) {
    WriteRaw(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

inline std::string ReadBytes(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& name, const std::string& text) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << text;
}

inline std::string ReadRegString(const char* keyPath, const char* name) {
    char buf[1024] = {};
    DWORD size = sizeof buf - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, keyPath, name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return "<missing>";
    return buf;
}

// Clicks the menu item of that name.
inline void FindComponentClick(fw::TComponent& form, const char* name) {
    auto* item = dynamic_cast<fw::TMenuItem*>(form.FindComponent(name));
    ASSERT_NE(item, nullptr) << name;
    item->Click();
}

// Runs `act` on the signature selection dialog once it is shown by the code under test.
class TInputDialogHand {
  public:
    explicit TInputDialogHand(std::function<void(HWND dialog, HWND memo)> act) {
        Current() = std::move(act);
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~TInputDialogHand() {
        KillTimer(nullptr, timer_);
        Current() = nullptr;
    }
    static HWND Button(HWND dialog, const char* caption) {
        return FindWindowExA(dialog, nullptr, "BUTTON", caption);
    }

  private:
    static std::function<void(HWND, HWND)>& Current() {
        static std::function<void(HWND, HWND)> act;
        return act;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND dialog = FindWindowA(nullptr, "Quiptide Signature Input Form");
        if (!dialog || !IsWindowVisible(dialog) || !Current())
            return;
        // The second text box is the file's text; the first holds the instruction.
        HWND first = FindWindowExA(dialog, nullptr, "EDIT", nullptr);
        HWND memo = FindWindowExA(dialog, first, "EDIT", nullptr);
        auto act = std::move(Current());
        Current() = nullptr;
        act(dialog, memo);
    }
    UINT_PTR timer_;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
        fw::Application().Initialize();
        fw::Application().SetTitle("Quiptide");
        dir = fw::ExtractFilePath(fw::ProgramFileName());
        for (const char* name :
             {"mv-sig.smv", "mv-tag.smv", "mv-round.smv", "UserVars.QTV", "signatur.pce"})
            std::filesystem::remove(dir + name);
        sigFile = dir + "signatur.pce";
    }
    void TearDown() override {
        form.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brindlex");
    }
    TMainForm& Create() {
        form = std::make_unique<TMainForm>(nullptr);
        form->Clock = &clock;
        return *form;
    }
    // Closes the window as the user would, answering the close warning.
    void Close() {
        dialogs.Answer(fw::mrYes);
        form->Close();
        form.reset();
        dialogs.Clear();
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : dialogs.Shown())
            t.push_back(s.Text);
        return t;
    }
    std::string Tagline() const { return form->DBMemo->Text(); }
    // A tagline table of the program's layout in the test's folder, holding `taglines`
    // (Record 1, 2, ... in their order); its full path.
    std::string MakeTable(const std::string& name, const std::vector<std::string>& taglines) {
        fw::TTable t(nullptr);
        t.SetTableType(fw::TTableType::ttParadox);
        t.SetTableName(dir + name);
        t.FieldDefs().Add("TagText", fw::TFieldType::ftString, 255, true);
        t.FieldDefs().Add("Record", fw::TFieldType::ftAutoInc);
        t.IndexDefs().Add("Tag", "TagText",
                          {fw::TIndexOption::ixPrimary, fw::TIndexOption::ixUnique,
                           fw::TIndexOption::ixCaseInsensitive});
        t.IndexDefs().Add("RecNo", "Record", {fw::TIndexOption::ixUnique});
        t.CreateTable();
        t.Open();
        for (const std::string& text : taglines) {
            t.Append();
            t.FieldByName("TagText").SetAsString(text);
            t.Post();
        }
        return dir + name;
    }

    std::string dir, sigFile;
    TFakeClock clock;
    fw::TScriptedDialogs dialogs;
    std::unique_ptr<TMainForm> form;
};
