// The automation object: property get and put by dispatch number, with each argument's
// type checked and every failure turned into a DISP_E_* result with a description.
#include "platform/speller/dll/SpellObject.h"

#include "platform/speller/dll/BstrText.h"
#include "platform/speller/dll/ErrorDialog.h"
#include "platform/speller/dll/OptionsDialog.h"

#include <shlobj.h>

#include <algorithm>
#include <stdexcept>

namespace vspell {

LONG g_serverRefs = 0;
HINSTANCE g_module = nullptr;

namespace {

struct Property {
    const wchar_t* name;
    DISPID id;
    VARTYPE type;
};
const Property kProperties[] = {
    {L"StandardDictionary", dispStandardDictionary, VT_BSTR},
    {L"ResultCode", dispResultCode, VT_I2},
    {L"Text", dispText, VT_BSTR},
    {L"WordMisspelledTitle", dispWordMisspelledTitle, VT_BSTR},
    {L"CheckText", dispCheckText, VT_BSTR},
    {L"ClearCounts", dispClearCounts, VT_I2},
    {L"ResumeCheck", dispResumeCheck, VT_I2},
    {L"OptionsDialogTitle", dispOptionsDialogTitle, VT_BSTR},
    {L"ErrorDialogTitle", dispErrorDialogTitle, VT_BSTR},
    {L"HelpFile", dispHelpFile, VT_BSTR},
    {L"ShowOptions", dispShowOptions, VT_I2},
};

const Property* Find(DISPID id) {
    for (const Property& p : kProperties)
        if (p.id == id)
            return &p;
    return nullptr;
}

std::string Name(const Property& p) {
    return Narrow(p.name, wcslen(p.name));
}

struct Failure {
    HRESULT code;
    std::string text;
};

void Describe(EXCEPINFO* error, const std::string& text) {
    if (!error)
        return;
    *error = EXCEPINFO{};
    error->bstrSource = SysAllocString(L"VSpell");
    error->bstrDescription = Wide(text);
    error->scode = DISP_E_EXCEPTION;
}

std::string ModuleFolder() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(g_module, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

std::string BesideModule(const std::string& name) {
    const bool absolute = name.size() > 1 && (name[1] == ':' || name[0] == '\\' || name[0] == '/');
    return absolute ? name : ModuleFolder() + name;
}

// The user's own files: %APPDATA%\Quiptide\<name>.
std::string AppDataFile(const char* name) {
    char folder[MAX_PATH] = "";
    const DWORD n = GetEnvironmentVariableA("APPDATA", folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, folder);
    std::string dir = std::string(folder) + "\\Quiptide";
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir + "\\" + name;
}

} // namespace

SpellObject::SpellObject() {
    InterlockedIncrement(&g_serverRefs);
}
SpellObject::~SpellObject() {
    InterlockedDecrement(&g_serverRefs);
}

HRESULT SpellObject::QueryInterface(REFIID riid, void** out) {
    if (!out)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG SpellObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
}

ULONG SpellObject::Release() {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

HRESULT SpellObject::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT SpellObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT SpellObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids)
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = DISPID_UNKNOWN;
        if (i == 0 && names[0])
            for (const Property& p : kProperties)
                if (_wcsicmp(p.name, names[0]) == 0)
                    ids[0] = p.id;
        if (ids[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME; // properties take no named arguments
    }
    return hr;
}

HRESULT SpellObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                            VARIANT* result, EXCEPINFO* error, UINT* argError) {
    const Property* p = Find(id);
    if (!p) {
        Describe(error, "The control has no property number " + std::to_string(id));
        return DISP_E_MEMBERNOTFOUND;
    }
    try {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (!params || params->cArgs != 1) {
                Describe(error, "A property takes exactly one value");
                return DISP_E_BADPARAMCOUNT;
            }
            if (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                Describe(error, "A property's value is not a named argument");
                return DISP_E_NONAMEDARGS;
            }
            if (id == dispResultCode || id == dispText || id == dispResumeCheck ||
                id == dispShowOptions) {
                Describe(error, "The property " + Name(*p) + " is read-only");
                return DISP_E_MEMBERNOTFOUND;
            }
            VARIANT value;
            VariantInit(&value);
            const HRESULT hr = VariantChangeType(&value, &params->rgvarg[0], 0, p->type);
            if (FAILED(hr)) {
                if (argError)
                    *argError = 0;
                const bool overflow = hr == DISP_E_OVERFLOW;
                Describe(error, std::string(overflow ? "Value out of range" : "Type mismatch") +
                                    " for the property " + Name(*p));
                return overflow ? DISP_E_OVERFLOW : DISP_E_TYPEMISMATCH;
            }
            const HRESULT put = Put(id, value);
            VariantClear(&value);
            return put;
        }
        if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) {
            if (params && params->cArgs != 0) {
                Describe(error, "Reading a property takes no arguments");
                return DISP_E_BADPARAMCOUNT;
            }
            if (!result) {
                Describe(error, "No place for the property's value");
                return E_POINTER;
            }
            return Get(id, result);
        }
        Describe(error, "Properties are only read or written");
        return DISP_E_MEMBERNOTFOUND;
    } catch (const std::exception& e) {
        Describe(error, e.what());
        return DISP_E_EXCEPTION;
    }
}

HRESULT SpellObject::Get(DISPID id, VARIANT* result) {
    VariantInit(result);
    auto text = [&](const std::string& s) {
        result->vt = VT_BSTR;
        result->bstrVal = Wide(s);
    };
    auto number = [&](short v) {
        result->vt = VT_I2;
        result->iVal = v;
    };
    switch (id) {
    case dispStandardDictionary:
        text(dictionaryName_);
        break;
    case dispResultCode:
        number(resultCode_);
        break;
    case dispText:
        text(session_.Text());
        break;
    case dispWordMisspelledTitle:
        text(misspelledTitle_);
        break;
    case dispCheckText:
        text(checkText_);
        break;
    case dispClearCounts:
        number(static_cast<short>(session_.Asked()));
        break;
    case dispResumeCheck:
        if (session_.Cancelled())
            RunCheck();
        number(resultCode_);
        break;
    case dispOptionsDialogTitle:
        text(optionsTitle_);
        break;
    case dispErrorDialogTitle:
        text(errorTitle_);
        break;
    case dispHelpFile:
        text(helpFile_);
        break;
    case dispShowOptions:
        number(EditOptions() ? 1 : 0);
        break;
    }
    return S_OK;
}

HRESULT SpellObject::Put(DISPID id, const VARIANT& value) {
    switch (id) {
    case dispClearCounts:
        session_.ClearCounts();
        break;
    case dispStandardDictionary:
        dictionaryName_ = Narrow(value.bstrVal);
        break;
    case dispWordMisspelledTitle:
        misspelledTitle_ = Narrow(value.bstrVal);
        break;
    case dispOptionsDialogTitle:
        optionsTitle_ = Narrow(value.bstrVal);
        break;
    case dispErrorDialogTitle:
        errorTitle_ = Narrow(value.bstrVal);
        break;
    case dispHelpFile:
        helpFile_ = Narrow(value.bstrVal);
        break;
    case dispCheckText:
        CheckNow(Narrow(value.bstrVal));
        break;
    }
    return S_OK;
}

const spell::Options& SpellObject::Options() {
    if (!options_)
        options_ = spell::LoadOptions(AppDataFile("SpellOptions.txt"));
    return *options_;
}

spell::Checker& SpellObject::Checker() {
    const std::string path = BesideModule(dictionaryName_);
    if (!checker_ || path != loadedDictionary_) {
        checker_.reset();
        dictionary_ = std::make_unique<spell::Dictionary>(spell::Dictionary::Load(path));
        if (!userWords_)
            userWords_ = std::make_unique<spell::UserWords>(AppDataFile("UserWords.txt"));
        checker_ = std::make_unique<spell::Checker>(*dictionary_, *userWords_);
        checker_->SetOptions(Options());
        loadedDictionary_ = path;
    }
    return *checker_;
}

DialogSettings SpellObject::Settings() const {
    return {misspelledTitle_, optionsTitle_, errorTitle_, BesideModule(helpFile_)};
}

bool SpellObject::EditOptions() {
    spell::Options chosen = Options();
    if (!AskOptions(g_module, Settings(), chosen))
        return false;
    if (chosen == *options_)
        return true;
    // The choice holds for this session even when it cannot be kept.
    options_ = chosen;
    if (checker_)
        checker_->SetOptions(chosen);
    spell::SaveOptions(AppDataFile("SpellOptions.txt"), chosen);
    return true;
}

void SpellObject::CheckNow(std::string text) {
    checkText_ = text;
    session_.Start(std::move(text));
    RunCheck();
}

void SpellObject::RunCheck() {
    const DialogSettings settings = Settings();
    auto report = [&](const std::string& message) { ShowError(g_module, settings, message); };
    auto options = [&] {
        try {
            EditOptions();
        } catch (const spell::Error& e) {
            report(std::string(e.what()) +
                   ".\r\n\r\nThe options you chose apply until the program ends.");
        }
    };
    const bool finished = session_.Run(
        Checker(), [&](const Question& q) { return AskMisspelled(g_module, settings, q, options); },
        report);
    resultCode_ =
        finished ? static_cast<short>(std::min(session_.ChangedInText(), 32767)) : kResultCancelled;
}

} // namespace vspell
