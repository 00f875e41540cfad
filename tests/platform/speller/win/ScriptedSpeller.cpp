// The scripted answers behind ScriptedSpeller: a hook the control calls with its dialog.
#include "ScriptedSpeller.h"

#include "platform/speller/dll/VSpell.h"

#include <cstring>
#include <stdexcept>

namespace spelltest {
namespace {

struct Reply {
    int answer;
    std::string replacement;
};
std::deque<Reply> g_replies;
std::vector<Asked> g_asked;
HMODULE g_dll = nullptr;

int WINAPI Hook(HWND dialog, const char* word, const char* suggestions, char* replacement,
                int size) {
    char title[256] = "";
    GetWindowTextA(dialog, title, sizeof title);
    g_asked.push_back({word, title, suggestions});
    if (g_replies.empty())
        return vspell::ansCancel;
    Reply r = g_replies.front();
    g_replies.pop_front();
    strncpy(replacement, r.replacement.c_str(), static_cast<size_t>(size) - 1);
    return r.answer;
}

using THook = void(WINAPI*)(vspell::AnswerHook);
using TRegister = HRESULT(STDAPICALLTYPE*)();

template <typename T> T Export(const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(g_dll, name)));
}

} // namespace

ScriptedSpeller::ScriptedSpeller() {
    g_dll = LoadLibraryA("VSPELL32.DLL");
    if (!g_dll)
        throw std::runtime_error("VSPELL32.DLL not found");
    if (FAILED(Export<TRegister>("DllRegisterServer")()))
        throw std::runtime_error("VSPELL32.DLL not registered");
    Export<THook>("VSpellAnswerHook")(Hook);
    Clear();
}

ScriptedSpeller::~ScriptedSpeller() {
    Export<THook>("VSpellAnswerHook")(nullptr);
    FreeLibrary(g_dll);
}

void ScriptedSpeller::Answer(int answer, const std::string& replacement) {
    g_replies.push_back({answer, replacement});
}
const std::vector<Asked>& ScriptedSpeller::AskedAbout() const {
    return g_asked;
}
void ScriptedSpeller::Clear() {
    g_replies.clear();
    g_asked.clear();
}

std::string FreshAppData() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    char dir[MAX_PATH];
    GetTempFileNameA(temp, "vsp", 0, dir);
    DeleteFileA(dir);
    CreateDirectoryA(dir, nullptr);
    SetEnvironmentVariableA("APPDATA", dir);
    return std::string(dir) + "\\Quiptide\\UserWords.txt";
}

} // namespace spelltest
