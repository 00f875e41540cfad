// The spell-check control's registration follows the DLL: a portable copy registered from
// one folder and then moved is found again from its new folder, and taking one copy's
// registration away leaves another copy's alone.
#include "DataTestSupport.h"
#include "ScriptedSpeller.h"
#include "platform/speller/dll/VSpell.h"
#include "taglinedb/VCSpeller.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using TExport = HRESULT(STDAPICALLTYPE*)();

const std::string kClass = std::string("CLSID\\") + vspell::kClsidText + "\\InprocServer32";

// The DLL the class names in the user's classes and in the system's class view.
std::pair<std::string, std::string> Registered() {
    std::pair<std::string, std::string> names;
    for (auto [root, key, out] :
         {std::tuple{HKEY_CURRENT_USER, "Software\\Classes\\" + kClass, &names.first},
          std::tuple{HKEY_CLASSES_ROOT, kClass, &names.second}}) {
        char value[MAX_PATH] = "";
        DWORD size = sizeof value;
        if (RegGetValueA(root, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) ==
            ERROR_SUCCESS)
            *out = value;
    }
    return names;
}

HRESULT CallExport(const std::string& dll, const char* name) {
    HMODULE module = LoadLibraryA(dll.c_str());
    if (!module)
        return HRESULT_FROM_WIN32(GetLastError());
    const auto fn =
        reinterpret_cast<TExport>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    const HRESULT hr = fn ? fn() : E_FAIL;
    FreeLibrary(module);
    return hr;
}

// A portable copy of the control: the DLL and its dictionary in a folder of their own.
std::string CopyControl(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* file : {"VSPELL32.DLL", "american.vtd"})
        EXPECT_TRUE(CopyFileA((std::string(SHIPPED_DIR) + "\\" + file).c_str(),
                              (folder + "\\" + file).c_str(), FALSE))
            << file;
    return folder + "\\VSPELL32.DLL";
}

std::string Lower(std::string s) {
    CharLowerA(s.data());
    return s;
}

TEST(VCSpellerTest, RegistrationFollowsTheCopyThatWasMovedOrRegisteredLast) {
    spelltest::FreshAppData();
    datatest::TempDir dir;
    const std::string a = CopyControl(dir.File("A")), b = dir.File("B") + "\\VSPELL32.DLL";
    // Spell-checked once from A, while another copy is registered: A's path wins.
    ASSERT_EQ(CallExport(std::string(SHIPPED_DIR) + "\\VSPELL32.DLL", "DllRegisterServer"), S_OK);
    ASSERT_EQ(CallExport(a, "DllRegisterServer"), S_OK);
    EXPECT_EQ(Lower(Registered().first), Lower(a));
    EXPECT_EQ(Lower(Registered().second), Lower(a));

    // A is renamed to B; the program in B finds the stale path, registers its own copy
    // (the first in its DLL search order) and checks.
    ASSERT_TRUE(MoveFileA(dir.File("A").c_str(), dir.File("B").c_str()));
    ASSERT_TRUE(SetDllDirectoryA(dir.File("B").c_str()));
    {
        TVCSpeller speller(nullptr);
        EXPECT_EQ(speller.Check("Spelled right."), "Spelled right.");
    }
    SetDllDirectoryA(nullptr);
    EXPECT_EQ(Lower(Registered().first), Lower(b));
    EXPECT_EQ(Lower(Registered().second), Lower(b));

    // A second copy registered after B: unregistering B takes nothing of C's.
    const std::string c = CopyControl(dir.File("C"));
    ASSERT_EQ(CallExport(c, "DllRegisterServer"), S_OK);
    ASSERT_EQ(CallExport(b, "DllUnregisterServer"), S_OK);
    EXPECT_EQ(Lower(Registered().first), Lower(c));
    EXPECT_EQ(Lower(Registered().second), Lower(c));
    ASSERT_EQ(CallExport(c, "DllUnregisterServer"), S_OK);
    EXPECT_EQ(Registered(), std::make_pair(std::string(), std::string()));
}

} // namespace
