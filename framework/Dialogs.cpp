// The real dialogs service over the Win32 message box and common dialogs, and the
// helpers every caller uses.
#include "framework/Dialogs.h"

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/InputQuery.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

namespace fw {

namespace {

UINT MessageBoxStyle(TMsgDlgType kind, TMsgDlgButtons buttons) {
    UINT style = MB_TASKMODAL;
    switch (kind) {
    case TMsgDlgType::mtWarning:
        style |= MB_ICONWARNING;
        break;
    case TMsgDlgType::mtError:
        style |= MB_ICONERROR;
        break;
    case TMsgDlgType::mtInformation:
        style |= MB_ICONINFORMATION;
        break;
    case TMsgDlgType::mtConfirmation:
        style |= MB_ICONQUESTION;
        break;
    case TMsgDlgType::mtCustom:
        break;
    }
    switch (buttons) {
    case TMsgDlgButtons::mbOK:
        return style | MB_OK;
    case TMsgDlgButtons::mbOKCancel:
    case TMsgDlgButtons::mbYesCancel: // the OK button is relabelled Yes
        return style | MB_OKCANCEL;
    case TMsgDlgButtons::mbYesNo:
        return style | MB_YESNO;
    case TMsgDlgButtons::mbYesNoCancel:
        return style | MB_YESNOCANCEL;
    }
    return style;
}

// "Text files|*.txt|All|*.*" becomes the NUL-separated, double-NUL-ended form.
std::vector<char> FilterText(const std::string& filter) {
    std::vector<char> text(filter.begin(), filter.end());
    for (char& c : text)
        if (c == '|')
            c = '\0';
    text.push_back('\0');
    text.push_back('\0');
    return text;
}

bool RunFileDialog(TFileDialog& d, bool save) {
    std::vector<char> name(32768, '\0');
    d.FileName.copy(name.data(), name.size() - 1);
    std::vector<char> filter = FilterText(d.Filter);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Application().ActiveWindow();
    ofn.lpstrFilter = d.Filter.empty() ? nullptr : filter.data();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = d.InitialDir.empty() ? nullptr : d.InitialDir.c_str();
    ofn.lpstrTitle = d.Title.empty() ? nullptr : d.Title.c_str();
    ofn.lpstrDefExt = d.DefaultExt.empty() ? nullptr : d.DefaultExt.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | d.Options;
    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (ok)
        d.FileName = name.data();
    return ok != FALSE;
}

// The system's boxes have no Yes and Cancel pair: while one box with OK and Cancel is
// made, a hook renames its OK button, which then answers Yes. Escape still cancels.
class TYesCancelLabels {
  public:
    TYesCancelLabels() : hook_(SetWindowsHookExA(WH_CBT, Proc, nullptr, GetCurrentThreadId())) {}
    ~TYesCancelLabels() {
        if (hook_)
            UnhookWindowsHookEx(hook_);
    }
    TYesCancelLabels(const TYesCancelLabels&) = delete;
    TYesCancelLabels& operator=(const TYesCancelLabels&) = delete;

  private:
    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE)
            SetDlgItemTextA(reinterpret_cast<HWND>(wParam), IDOK, "&Yes");
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    HHOOK hook_;
};

class TWin32Dialogs : public TDialogService {
  public:
    int MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                   const std::string& caption) override {
        if (buttons == TMsgDlgButtons::mbYesCancel) {
            TYesCancelLabels labels;
            int answer = MessageBoxA(Application().ActiveWindow(), text.c_str(), caption.c_str(),
                                     MessageBoxStyle(kind, buttons));
            return answer == IDOK ? mrYes : answer;
        }
        return MessageBoxA(Application().ActiveWindow(), text.c_str(), caption.c_str(),
                           MessageBoxStyle(kind, buttons));
    }
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override {
        return RunInputQuery(Application().ActiveWindow(), caption, prompt, value);
    }
    bool OpenFile(TFileDialog& dialog) override { return RunFileDialog(dialog, false); }
    bool SaveFile(TFileDialog& dialog) override { return RunFileDialog(dialog, true); }
};

TDialogService*& Current() {
    static TWin32Dialogs real;
    static TDialogService* current = &real;
    return current;
}

const char* KindCaption(TMsgDlgType kind) {
    switch (kind) {
    case TMsgDlgType::mtWarning:
        return "Warning";
    case TMsgDlgType::mtError:
        return "Error";
    case TMsgDlgType::mtInformation:
        return "Information";
    case TMsgDlgType::mtConfirmation:
        return "Confirm";
    case TMsgDlgType::mtCustom:
        break;
    }
    return nullptr;
}

} // namespace

TDialogService& Dialogs() {
    return *Current();
}

TDialogsOverride::TDialogsOverride(TDialogService& service) : previous_(Current()) {
    Current() = &service;
}

TDialogsOverride::~TDialogsOverride() {
    Current() = previous_;
}

int MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons) {
    const char* caption = KindCaption(kind);
    return Dialogs().MessageDlg(text, kind, buttons, caption ? caption : Application().Title());
}

void ShowMessage(const std::string& text) {
    MessageDlg(text, TMsgDlgType::mtCustom, TMsgDlgButtons::mbOK);
}

std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultValue) {
    std::string value = defaultValue;
    return Dialogs().InputQuery(caption, prompt, value) ? value : defaultValue;
}

TModalResult ModalResultFromName(const std::string& name) {
    static const std::pair<const char*, TModalResult> names[] = {{"mrNone", mrNone},
                                                                 {"mrOk", mrOk},
                                                                 {"mrCancel", mrCancel},
                                                                 {"mrYes", mrYes},
                                                                 {"mrNo", mrNo}};
    for (const auto& [text, result] : names)
        if (name == text)
            return result;
    throw Exception("Unknown modal result " + name);
}

} // namespace fw
