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

// This DLL's full path, or "" when the system cannot give it.
std::string ModulePath() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(g_module, path, MAX_PATH);
    return n == 0 || n >= MAX_PATH ? std::string() : std::string(path, n);
}

// True when the class key names the DLL at path (paths compare without regard to case).
bool Names(HKEY root, const std::string& key, const std::string& path) {
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    return RegGetValueA(root, (key + "\\InprocServer32").c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                        value, &size) == ERROR_SUCCESS &&
           lstrcmpiA(value, path.c_str()) == 0;
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
    const std::string path = ModulePath();
    if (path.empty() || FAILED(Register(HKEY_CURRENT_USER, kClassKey, path)))
        return SELFREG_E_CLASS;
    // A system whose class view leaves out the user's classes (Wine) gets the class in that
    // view as well, where it lets us; on Windows this write lands in the user's classes
    // just written. Either way it names this DLL, even over a copy registered elsewhere:
    // a portable copy that was moved or removed must not stay the one that is found.
    Register(HKEY_CLASSES_ROOT, kRootKey, path);
    return S_OK;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() {
    // Only a registration of this very DLL goes: another copy's stays usable.
    const std::string path = ModulePath();
    LONG rc = ERROR_SUCCESS;
    if (Names(HKEY_CURRENT_USER, kClassKey, path))
        rc = RegDeleteTreeA(HKEY_CURRENT_USER, kClassKey.c_str());
    if (Names(HKEY_CLASSES_ROOT, kRootKey, path))
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kRootKey.c_str());
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}

// Tests only: answers the misspelled-word dialog without a person (null: a person again).
__declspec(dllexport) void WINAPI VSpellAnswerHook(AnswerHook hook) {
    SetAnswerHook(hook);
}

} // extern "C"
