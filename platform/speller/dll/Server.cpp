// The DLL's entry points: the class factory, per-user registration under
// HKEY_CURRENT_USER\Software\Classes (no administrator rights needed) and the test hook.
#include "platform/speller/dll/MisspelledDialog.h"
#include "platform/speller/dll/SpellObject.h"
#include "platform/speller/dll/VSpell.h"

#include <olectl.h>

#include <new>
#include <string>

using namespace vspell;

namespace {

class Factory : public IClassFactory {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static; only LockServer keeps the DLL loaded.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        auto* object = new (std::nothrow) SpellObject;
        if (!object)
            return E_OUTOFMEMORY;
        const HRESULT hr = object->QueryInterface(riid, out);
        object->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&g_serverRefs);
        else
            InterlockedDecrement(&g_serverRefs);
        return S_OK;
    }
};
Factory g_factory;

const std::string kRootKey = std::string("CLSID\\") + kClsidText;
const std::string kClassKey = "Software\\Classes\\" + kRootKey;

HRESULT SetValue(HKEY root, const std::string& key, const char* name, const std::string& value) {
    HKEY h;
    LONG rc = RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr);
    if (rc != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1));
    RegCloseKey(h);
    return HRESULT_FROM_WIN32(rc);
}

HRESULT Register(HKEY root, const std::string& key, const std::string& path) {
    HRESULT hr = SetValue(root, key, nullptr, "VSpell Spell-Check Control");
    if (SUCCEEDED(hr))
        hr = SetValue(root, key + "\\InprocServer32", nullptr, path);
    if (SUCCEEDED(hr))
        hr = SetValue(root, key + "\\InprocServer32", "ThreadingModel", "Apartment");
    return hr;
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE
    DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, kClsid))
        return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(riid, out);
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return g_serverRefs == 0 ? S_OK : S_FALSE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(g_module, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return SELFREG_E_CLASS;
    const HRESULT hr = Register(HKEY_CURRENT_USER, kClassKey, std::string(path, n));
    if (FAILED(hr))
        return SELFREG_E_CLASS;
    // A system whose class view leaves out the user's classes (Wine) gets the class in
    // that view as well, where it lets us; elsewhere this fails and is not needed.
    HKEY seen;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kRootKey.c_str(), 0, KEY_READ, &seen) == ERROR_SUCCESS)
        RegCloseKey(seen);
    else
        Register(HKEY_CLASSES_ROOT, kRootKey, std::string(path, n));
    return S_OK;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    const LONG rc = RegDeleteTreeA(HKEY_CURRENT_USER, kClassKey.c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kRootKey.c_str()); // only where registering put it
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

// Tests only: answers the misspelled-word dialog without a person (null: a person again).
__declspec(dllexport) void WINAPI VSpellAnswerHook(AnswerHook hook) {
    SetAnswerHook(hook);
}

} // extern "C"
