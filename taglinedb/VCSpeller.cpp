// The wrapper of the spell-check control: COM start-up, creation with registration at
// first use, and property calls by dispatch number with the control's errors raised.
#include "taglinedb/VCSpeller.h"

#include "framework/ClassRegistry.h"
#include "framework/Exception.h"
#include "platform/speller/dll/BstrText.h"
#include "platform/speller/dll/VSpell.h"

#include <objbase.h>

namespace {

// The control's DLL, found beside the program by the system's search order.
const char* const kVSpellLibrary = "VSPELL32.DLL";
using namespace vspell;

VARIANT StringValue(const std::string& s) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = Wide(s);
    return v;
}

std::string SystemText(HRESULT hr) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n ? std::string(text, n) : "";
    LocalFree(text);
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n' || s.back() == ' '))
        s.pop_back();
    if (s.empty()) {
        char code[32];
        wsprintfA(code, "Error 0x%08lX", static_cast<unsigned long>(hr));
        s = code;
    }
    return s;
}

// The control's own description of a failure, or the system's text for its code.
[[noreturn]] void Raise(HRESULT hr, EXCEPINFO& error) {
    if (error.pfnDeferredFillIn)
        error.pfnDeferredFillIn(&error);
    std::string text = Narrow(error.bstrDescription);
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrHelpFile);
    if (text.empty())
        text = SystemText(hr == DISP_E_EXCEPTION && error.scode ? error.scode : hr);
    throw fw::Exception(text);
}

// Registers the control for this user from its DLL; the system's text when it cannot.
void RegisterControl() {
    HMODULE dll = LoadLibraryA(kVSpellLibrary);
    if (!dll)
        throw fw::Exception(std::string("The spell checker ") + kVSpellLibrary +
                            " cannot be loaded: " + SystemText(HRESULT_FROM_WIN32(GetLastError())));
    using TRegister = HRESULT(STDAPICALLTYPE*)();
    auto reg = reinterpret_cast<TRegister>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    const HRESULT hr = reg ? reg() : HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    FreeLibrary(dll);
    if (FAILED(hr))
        throw fw::Exception(std::string("The spell checker ") + kVSpellLibrary +
                            " cannot be registered: " + SystemText(hr));
}

} // namespace

TVCSpeller::TVCSpeller(fw::TComponent* owner) : TComponent(owner) {}

TVCSpeller::~TVCSpeller() {
    if (control_)
        control_->Release();
    if (comStarted_)
        CoUninitialize();
}

bool TVCSpeller::SetProperty(const std::string& name, const fw::TLayoutValue& value,
                             const fw::TEventTable&) {
    std::string* field = name == "StandardDictionary"   ? &StandardDictionary
                         : name == "OptionsDialogTitle" ? &OptionsDialogTitle
                         : name == "ErrorDialogTitle"   ? &ErrorDialogTitle
                         : name == "HelpFile"           ? &HelpFile
                                                        : nullptr;
    if (!field)
        return false;
    *field = value.AsString();
    return true;
}

void TVCSpeller::RegisterLayoutClass() {
    fw::RegisterComponentClass<TVCSpeller>("TVCSpeller");
}

IDispatch& TVCSpeller::Control() {
    if (control_)
        return *control_;
    if (!comStarted_) {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // S_FALSE: already started on this thread; still to be balanced.
        comStarted_ = hr == S_OK || hr == S_FALSE;
    }
    void* object = nullptr;
    HRESULT hr = CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &object);
    if (FAILED(hr)) {
        // Missing, or registered at a place it has moved from.
        RegisterControl();
        hr = CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, &object);
    }
    if (FAILED(hr))
        throw fw::Exception("The spell checker cannot be started: " + SystemText(hr));
    control_ = static_cast<IDispatch*>(object);
    const std::pair<DISPID, const std::string*> settings[] = {
        {dispStandardDictionary, &StandardDictionary},
        {dispOptionsDialogTitle, &OptionsDialogTitle},
        {dispErrorDialogTitle, &ErrorDialogTitle},
        {dispHelpFile, &HelpFile}};
    for (const auto& [id, value] : settings) {
        VARIANT v = StringValue(*value);
        Put(id, v);
    }
    return *control_;
}

void TVCSpeller::Put(DISPID id, VARIANT& value) {
    IDispatch& control = Control();
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    EXCEPINFO error{};
    const HRESULT hr = control.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                      &params, nullptr, &error, nullptr);
    VariantClear(&value);
    if (FAILED(hr))
        Raise(hr, error);
}

VARIANT TVCSpeller::Get(DISPID id) {
    IDispatch& control = Control();
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO error{};
    const HRESULT hr = control.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                      &none, &result, &error, nullptr);
    if (FAILED(hr))
        Raise(hr, error);
    return result;
}

namespace {

std::string AsString(VARIANT v) {
    if (v.vt != VT_BSTR && FAILED(VariantChangeType(&v, &v, 0, VT_BSTR))) {
        VariantClear(&v);
        throw fw::Exception("The spell checker gave no text");
    }
    std::string s = Narrow(v.bstrVal);
    VariantClear(&v);
    return s;
}

short AsShort(VARIANT v) {
    if (v.vt != VT_I2 && FAILED(VariantChangeType(&v, &v, 0, VT_I2))) {
        VariantClear(&v);
        throw fw::Exception("The spell checker gave no number");
    }
    return v.iVal;
}

} // namespace

void TVCSpeller::SetStandardDictionary(const std::string& value) {
    VARIANT v = StringValue(value);
    Put(dispStandardDictionary, v);
}

void TVCSpeller::SetWordMisspelledTitle(const std::string& value) {
    VARIANT v = StringValue(value);
    Put(dispWordMisspelledTitle, v);
}

void TVCSpeller::SetCheckText(const std::string& value) {
    VARIANT v = StringValue(value);
    Put(dispCheckText, v);
}

void TVCSpeller::SetClearCounts(short value) {
    VARIANT v;
    v.vt = VT_I2;
    v.iVal = value;
    Put(dispClearCounts, v);
}

short TVCSpeller::ResultCode() {
    return AsShort(Get(dispResultCode));
}
short TVCSpeller::ResumeCheck() {
    return AsShort(Get(dispResumeCheck));
}
std::string TVCSpeller::Text() {
    return AsString(Get(dispText));
}
std::string TVCSpeller::CheckText() {
    return AsString(Get(dispCheckText));
}

std::string TVCSpeller::Check(const std::string& text) {
    SetCheckText(text);
    if (ResultCode() < 0) {
        for (;;) {
            if (ResultCode() != 0)
                break;
            if (ResumeCheck() >= 0)
                break;
        }
    }
    return Text();
}
