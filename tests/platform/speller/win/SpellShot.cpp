// Shows one of the spell-check control's dialogs for the screenshots and waits in it until
// it is ended: "tagline" the misspelled-word dialog on a starter tagline with a slip in it,
// "options" the options dialog, "error" the error dialog after an Add that cannot be saved.
#include "platform/speller/dll/VSpell.h"

#include <objbase.h>
#include <oleauto.h>

#include <string>

namespace {

// Presses Add in the misspelled-word dialog and leaves the error dialog to the person.
int WINAPI AddThenWait(HWND dialog, const char*, const char*, char*, int) {
    char cls[64] = "";
    GetClassNameA(dialog, cls, sizeof cls);
    return std::string(cls) == vspell::kMisspelledClass ? vspell::ansAdd : 0;
}

// A scratch %APPDATA% whose word list cannot be written: a folder stands in its place.
void UnwritableAppData() {
    char temp[MAX_PATH], dir[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    GetTempFileNameA(temp, "vsp", 0, dir);
    DeleteFileA(dir);
    const std::string base(dir);
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA((base + "\\Quiptide").c_str(), nullptr);
    CreateDirectoryA((base + "\\Quiptide\\UserWords.txt").c_str(), nullptr);
    SetEnvironmentVariableA("APPDATA", base.c_str());
}

} // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "tagline";
    HMODULE dll = LoadLibraryA("VSPELL32.DLL");
    if (!dll)
        return 1;
    using TRegister = HRESULT(STDAPICALLTYPE*)();
    auto reg = reinterpret_cast<TRegister>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    if (!reg || FAILED(reg()))
        return 1;
    if (what == "error") {
        UnwritableAppData();
        using THook = void(WINAPI*)(vspell::AnswerHook);
        reinterpret_cast<THook>(reinterpret_cast<void*>(GetProcAddress(dll, "VSpellAnswerHook")))(
            AddThenWait);
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IDispatch* control = nullptr;
    if (FAILED(CoCreateInstance(vspell::kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&control))))
        return 1;
    auto put = [&](DISPID id, const wchar_t* text) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(text);
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS p{&v, &named, 1, 1};
        control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr, nullptr, nullptr);
        VariantClear(&v);
    };
    put(vspell::dispWordMisspelledTitle, L"Spell Checking Tagline");
    put(vspell::dispOptionsDialogTitle, L"Spell Checking Options");
    put(vspell::dispErrorDialogTitle, L"Oops!");
    put(vspell::dispStandardDictionary, L"american.vtd");
    if (what == "options") {
        DISPPARAMS none{};
        VARIANT r;
        VariantInit(&r);
        control->Invoke(vspell::dispShowOptions, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &r,
                        nullptr, nullptr);
    } else {
        put(vspell::dispCheckText, L"Backups are a love lettre to your future self.");
    }
    control->Release();
    CoUninitialize();
    return 0;
}
