// The scripted dialogs service used by tests.
#include "tests/framework/ScriptedDialogs.h"

#include <stdexcept>

namespace fw {

TScriptedDialogs::TScriptedDialogs() : install_(*this) {}

const TScriptedDialogs::TShown& TScriptedDialogs::Last() const {
    if (shown_.empty())
        throw std::logic_error("no dialog was shown");
    return shown_.back();
}

void TScriptedDialogs::Clear() {
    answers_.clear();
    shown_.clear();
}

TScriptedDialogs::TAnswer TScriptedDialogs::Next(int unscripted) {
    if (answers_.empty())
        return {unscripted, {}};
    TAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

int TScriptedDialogs::MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                                 const std::string& caption) {
    shown_.push_back({TShownKind::Message, kind, buttons, text, caption});
    return Next(buttons == TMsgDlgButtons::mbOK ? mrOk : mrCancel).Result;
}

bool TScriptedDialogs::InputQuery(const std::string& caption, const std::string& prompt,
                                  std::string& value) {
    shown_.push_back(
        {TShownKind::Input, TMsgDlgType::mtCustom, TMsgDlgButtons::mbOKCancel, prompt, caption});
    TAnswer a = Next(mrCancel);
    if (a.Result != mrOk)
        return false;
    value = a.Value;
    return true;
}

bool TScriptedDialogs::FileAnswer(TShownKind what, TFileDialog& dialog) {
    shown_.push_back(
        {what, TMsgDlgType::mtCustom, TMsgDlgButtons::mbOKCancel, dialog.Title, dialog.Title});
    TAnswer a = Next(mrCancel);
    if (a.Result != mrOk)
        return false;
    dialog.FileName = a.Value;
    return true;
}

bool TScriptedDialogs::OpenFile(TFileDialog& dialog) {
    return FileAnswer(TShownKind::Open, dialog);
}

bool TScriptedDialogs::SaveFile(TFileDialog& dialog) {
    return FileAnswer(TShownKind::Save, dialog);
}

} // namespace fw
