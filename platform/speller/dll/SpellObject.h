// The control's automation object: the properties behind IDispatch and the check they run.
#pragma once

#include "platform/speller/dll/CheckSession.h"
#include "platform/speller/dll/MisspelledDialog.h"

#include <oaidl.h>

#include <memory>
#include <optional>
#include <string>

namespace vspell {

// Objects and locks alive, for DllCanUnloadNow.
extern LONG g_serverRefs;
extern HINSTANCE g_module;

class SpellObject final : public IDispatch {
  public:
    SpellObject();
    virtual ~SpellObject();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* error, UINT* argError) override;

  private:
    HRESULT Get(DISPID id, VARIANT* result);
    HRESULT Put(DISPID id, const VARIANT& value);
    void CheckNow(std::string text);
    void RunCheck();
    spell::Checker& Checker();
    // The user's options, read once from their file.
    const spell::Options& Options();
    DialogSettings Settings() const;
    // Shows the options dialog; false for Cancel. New options apply at once and are saved
    // (spell::Error when they cannot be, applying nonetheless).
    bool EditOptions();

    LONG refs_ = 1;
    std::string dictionaryName_ = "american.vtd", misspelledTitle_ = "Misspelled Word";
    std::string optionsTitle_ = "Spell Checking Options", errorTitle_ = "Oops!";
    std::string helpFile_ = "vspeller.hlp";
    std::string checkText_;
    short resultCode_ = 0;
    CheckSession session_;
    std::string loadedDictionary_;
    std::unique_ptr<spell::Dictionary> dictionary_;
    std::unique_ptr<spell::UserWords> userWords_;
    std::unique_ptr<spell::Checker> checker_;
    std::optional<spell::Options> options_;
};

} // namespace vspell
