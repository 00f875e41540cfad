// Shows the spell-check control's misspelled-word dialog on a starter tagline with a slip
// in it, for the screenshots; it waits in the dialog until it is ended.
#include "platform/speller/dll/VSpell.h"

#include <objbase.h>
#include <oleauto.h>

int main() {
    HMODULE dll = LoadLibraryA("VSPELL32.DLL");
    if (!dll)
        return 1;
    using TRegister = HRESULT(STDAPICALLTYPE*)();
    auto reg = reinterpret_cast<TRegister>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    if (!reg || FAILED(reg()))
        return 1;
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
    put(vspell::dispStandardDictionary, L"american.vtd");
    put(vspell::dispCheckText, L"Backups are a love lettre to your future self.");
    control->Release();
    CoUninitialize();
    return 0;
}
