// The spell-check control through IDispatch, as the program and scripts use it: by number
// and by name, its dialog answered by script, wrong calls refused with DISP_E_* results,
// and its per-user registration.
#include "ScriptedSpeller.h"
#include "platform/speller/dll/VSpell.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <oleauto.h>

#include <fstream>
#include <string>

namespace {

using namespace vspell;

std::wstring W(const std::string& s) {
    return std::wstring(s.begin(), s.end());
}
std::string N(BSTR s) {
    std::wstring w(s, SysStringLen(s));
    return std::string(w.begin(), w.end());
}

class VSpellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        userWords = spelltest::FreshAppData();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        script = std::make_unique<spelltest::ScriptedSpeller>();
        control = Create();
        ASSERT_NE(control, nullptr);
    }
    void TearDown() override {
        if (control)
            control->Release();
        script.reset();
        CoUninitialize();
    }
    static IDispatch* Create() {
        IDispatch* d = nullptr;
        const HRESULT hr = CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                            reinterpret_cast<void**>(&d));
        EXPECT_EQ(hr, S_OK);
        return d;
    }
    HRESULT PutVariant(DISPID id, VARIANT& v, EXCEPINFO* error = nullptr) {
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS p{&v, &named, 1, 1};
        EXCEPINFO local{};
        const HRESULT hr = control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &p, nullptr,
                                           error ? error : &local, nullptr);
        VariantClear(&v);
        return hr;
    }
    HRESULT Put(DISPID id, const std::string& s) {
        VARIANT v;
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocString(W(s).c_str());
        return PutVariant(id, v);
    }
    HRESULT PutShort(DISPID id, short n) {
        VARIANT v;
        v.vt = VT_I2;
        v.iVal = n;
        return PutVariant(id, v);
    }
    VARIANT Get(DISPID id, HRESULT* hr = nullptr) {
        DISPPARAMS none{};
        VARIANT r;
        VariantInit(&r);
        const HRESULT h =
            control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &r, nullptr, nullptr);
        if (hr)
            *hr = h;
        return r;
    }
    std::string Text() {
        VARIANT v = Get(dispText);
        EXPECT_EQ(v.vt, VT_BSTR);
        std::string s = N(v.bstrVal);
        VariantClear(&v);
        return s;
    }
    short Short(DISPID id) {
        VARIANT v = Get(id);
        EXPECT_EQ(v.vt, VT_I2);
        return v.iVal;
    }
    std::vector<std::string> Words() const {
        std::vector<std::string> w;
        for (const auto& a : script->AskedAbout())
            w.push_back(a.word);
        return w;
    }

    std::string userWords;
    std::unique_ptr<spelltest::ScriptedSpeller> script;
    IDispatch* control = nullptr;
};

TEST_F(VSpellTest, ChangeAndChangeAllCorrectTheTextUnderTheGivenTitle) {
    ASSERT_EQ(Put(dispStandardDictionary, "american.vtd"), S_OK);
    ASSERT_EQ(Put(dispWordMisspelledTitle, "Spell Checking Tagline"), S_OK);
    script->Answer(ansChange, "test");
    script->Answer(ansChangeAll, "the");
    ASSERT_EQ(Put(dispCheckText, "A tset of teh cat and teh dog."), S_OK);
    EXPECT_EQ(Short(dispResultCode), 3);
    EXPECT_EQ(Text(), "A test of the cat and the dog.");
    // Change All asks once for both occurrences.
    EXPECT_EQ(Words(), (std::vector<std::string>{"tset", "teh"}));
    EXPECT_EQ(script->AskedAbout()[0].title, "Spell Checking Tagline");
    EXPECT_NE(script->AskedAbout()[0].suggestions.find("test\n"), std::string::npos);
    // A correct text asks nothing and changes nothing.
    script->Clear();
    ASSERT_EQ(Put(dispCheckText, "The quick brown fox jumps over the lazy dog."), S_OK);
    EXPECT_TRUE(script->AskedAbout().empty());
    EXPECT_EQ(Short(dispResultCode), 0);
}

TEST_F(VSpellTest, IgnoreAllAndAddLeaveTheWordAndAddOutlivesTheObject) {
    script->Answer(ansIgnoreAll);
    script->Answer(ansAdd);
    ASSERT_EQ(Put(dispCheckText, "Zorbly and zorbly, then Quiptidely."), S_OK);
    EXPECT_EQ(Text(), "Zorbly and zorbly, then Quiptidely.");
    EXPECT_EQ(Words(), (std::vector<std::string>{"Zorbly", "Quiptidely"}));
    std::ifstream file(userWords);
    std::string saved;
    std::getline(file, saved);
    EXPECT_EQ(saved, "Quiptidely");

    // A new object (as after a restart) knows the added word, not the ignored one.
    control->Release();
    control = Create();
    script->Clear();
    ASSERT_EQ(Put(dispCheckText, "Quiptidely zorbly."), S_OK);
    EXPECT_EQ(Words(), (std::vector<std::string>{"zorbly"}));
}

TEST_F(VSpellTest, CancelKeepsEarlierChangesAndResumeAsksAgain) {
    script->Answer(ansChange, "test");
    script->Answer(ansCancel);
    ASSERT_EQ(Put(dispCheckText, "A tset and a wrod."), S_OK);
    EXPECT_EQ(Short(dispResultCode), kResultCancelled);
    EXPECT_EQ(Text(), "A test and a wrod.");
    script->Answer(ansChange, "word");
    EXPECT_GE(Short(dispResumeCheck), 0);
    EXPECT_EQ(Text(), "A test and a word.");
    EXPECT_EQ(Words(), (std::vector<std::string>{"tset", "wrod", "wrod"}));
    // The counters: words asked about, until cleared.
    EXPECT_EQ(Short(dispClearCounts), 3);
    ASSERT_EQ(PutShort(dispClearCounts, 0), S_OK);
    EXPECT_EQ(Short(dispClearCounts), 0);
}

TEST_F(VSpellTest, OptionsChangedMidCheckApplyFromTheWordAskedAndAreKept) {
    ASSERT_EQ(Put(dispOptionsDialogTitle, "Spell Checking Options"), S_OK);
    script->Answer(ansOptions);
    script->AnswerOptions("IgnoreUppercase=1", IDOK);
    script->Answer(ansChange, "the");
    ASSERT_EQ(Put(dispCheckText, "QXZT and teh QWRT."), S_OK);
    // Asked about once before the options, then capitals are passed over at once.
    EXPECT_EQ(Words(), (std::vector<std::string>{"QXZT", "teh"}));
    EXPECT_EQ(Text(), "QXZT and the QWRT.");
    EXPECT_EQ(Short(dispClearCounts), 2);
    ASSERT_EQ(script->OptionsShown().size(), 1u);
    EXPECT_EQ(script->OptionsShown()[0].title, "Spell Checking Options");
    EXPECT_EQ(script->OptionsShown()[0].over, kMisspelledClass) << "the word's dialog stays";
    EXPECT_NE(script->OptionsShown()[0].text.find("IgnoreUppercase=0"), std::string::npos);

    // A new object (as after a restart) reads them back; a script's Cancel changes nothing.
    control->Release();
    control = Create();
    script->Clear();
    script->AnswerOptions("IgnoreUppercase=0", IDCANCEL);
    EXPECT_EQ(Short(dispShowOptions), 0);
    ASSERT_EQ(script->OptionsShown().size(), 1u);
    EXPECT_NE(script->OptionsShown()[0].text.find("IgnoreUppercase=1"), std::string::npos);
    ASSERT_EQ(Put(dispCheckText, "QXZT teh"), S_OK);
    EXPECT_EQ(Words(), (std::vector<std::string>{"teh"}));
}

TEST_F(VSpellTest, AWordListThatCannotBeWrittenShowsTheErrorAndTheCheckGoesOn) {
    CreateDirectoryA(userWords.substr(0, userWords.rfind('\\')).c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(userWords.c_str(), nullptr)); // a folder in the list's place
    ASSERT_EQ(Put(dispErrorDialogTitle, "Oops!"), S_OK);
    script->Answer(ansAdd);
    script->Answer(ansChange, "word");
    ASSERT_EQ(Put(dispCheckText, "Zorbly, ZORBLY and a wrod."), S_OK);
    ASSERT_EQ(script->ErrorsShown().size(), 1u);
    EXPECT_EQ(script->ErrorsShown()[0].title, "Oops!");
    const std::string& message = script->ErrorsShown()[0].text;
    EXPECT_NE(message.find("UserWords.txt"), std::string::npos) << message;
    EXPECT_NE(message.find("\"Zorbly\" is accepted"), std::string::npos) << message;
    // The word is known for the rest of the session and the check reaches the end.
    EXPECT_EQ(Words(), (std::vector<std::string>{"Zorbly", "wrod"}));
    EXPECT_EQ(Text(), "Zorbly, ZORBLY and a word.");
    EXPECT_EQ(Short(dispResultCode), 1);
}

TEST_F(VSpellTest, NamesGiveTheNumbersAndUnknownOnesAreRefused) {
    const std::pair<const wchar_t*, DISPID> names[] = {
        {L"StandardDictionary", 2},   {L"ResultCode", 27},  {L"Text", 34},
        {L"WordMisspelledTitle", 54}, {L"CheckText", 68},   {L"ClearCounts", 70},
        {L"resumecheck", 74},         {L"ShowOptions", 104}};
    for (const auto& [name, id] : names) {
        LPOLESTR n = const_cast<LPOLESTR>(name);
        DISPID got = 0;
        EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &n, 1, 0, &got), S_OK);
        EXPECT_EQ(got, id);
    }
    LPOLESTR bad = const_cast<LPOLESTR>(L"SpellCheck");
    DISPID got = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, &bad, 1, 0, &got), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(got, DISPID_UNKNOWN);

    // A script's check by name: the number it was given works.
    LPOLESTR check = const_cast<LPOLESTR>(L"CheckText");
    control->GetIDsOfNames(IID_NULL, &check, 1, 0, &got);
    script->Answer(ansChange, "word");
    ASSERT_EQ(Put(got, "one wrod"), S_OK);
    EXPECT_EQ(Text(), "one word");
}

TEST_F(VSpellTest, WrongCallsGiveDispErrorsWithADescription) {
    EXCEPINFO error{};
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = 70000;
    EXPECT_EQ(PutVariant(dispClearCounts, v, &error), DISP_E_OVERFLOW);
    ASSERT_NE(error.bstrDescription, nullptr);
    EXPECT_NE(N(error.bstrDescription).find("ClearCounts"), std::string::npos);
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrSource);

    v.vt = VT_UNKNOWN;
    v.punkVal = nullptr;
    EXPECT_EQ(PutVariant(dispCheckText, v), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(PutShort(dispText, 1), DISP_E_MEMBERNOTFOUND); // read-only
    EXPECT_EQ(Put(999, "x"), DISP_E_MEMBERNOTFOUND);
    HRESULT hr = S_OK;
    Get(12345, &hr);
    EXPECT_EQ(hr, DISP_E_MEMBERNOTFOUND);

    // A dictionary that is not there fails the check with the control's own text.
    ASSERT_EQ(Put(dispStandardDictionary, "missing.vtd"), S_OK);
    VARIANT text;
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"words");
    EXCEPINFO failed{};
    EXPECT_EQ(PutVariant(dispCheckText, text, &failed), DISP_E_EXCEPTION);
    ASSERT_NE(failed.bstrDescription, nullptr);
    EXPECT_NE(N(failed.bstrDescription).find("missing.vtd"), std::string::npos);
    SysFreeString(failed.bstrDescription);
    SysFreeString(failed.bstrSource);
}

TEST_F(VSpellTest, RegistersAndUnregistersUnderTheCurrentUser) {
    const std::string key =
        std::string("Software\\Classes\\CLSID\\") + kClsidText + "\\InprocServer32";
    char path[MAX_PATH] = "";
    DWORD size = sizeof path;
    ASSERT_EQ(
        RegGetValueA(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size),
        ERROR_SUCCESS);
    EXPECT_NE(std::string(path).find("VSPELL32.DLL"), std::string::npos);

    HMODULE dll = GetModuleHandleA("VSPELL32.DLL");
    using TFn = HRESULT(STDAPICALLTYPE*)();
    auto unreg =
        reinterpret_cast<TFn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
    ASSERT_EQ(unreg(), S_OK);
    HKEY h;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &h), ERROR_SUCCESS);
    IDispatch* none = nullptr;
    EXPECT_EQ(CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&none)),
              REGDB_E_CLASSNOTREG);
    auto reg =
        reinterpret_cast<TFn>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    ASSERT_EQ(reg(), S_OK);
    IDispatch* again = Create();
    ASSERT_NE(again, nullptr);
    again->Release();
}

} // namespace
