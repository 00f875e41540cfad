// A dialogs service for tests: answers from a queue and records everything shown.
#pragma once

#include "framework/Dialogs.h"

#include <deque>
#include <string>
#include <vector>

namespace fw {

class TScriptedDialogs : public TDialogService {
  public:
    enum class TShownKind { Message, Input, Open, Save };
    struct TShown {
        TShownKind What;
        TMsgDlgType Kind; // message boxes only
        TMsgDlgButtons Buttons;
        std::string Text; // message text, input prompt, or file dialog title
        std::string Caption;
    };
    // One scripted answer: a dialog result, and for the input box and the file dialogs
    // the text they give back (an answer of mrOk accepts it).
    struct TAnswer {
        int Result;
        std::string Value;
    };

    // Installs itself as the service for its lifetime.
    TScriptedDialogs();

    void Answer(int result, const std::string& value = {}) { answers_.push_back({result, value}); }
    const std::vector<TShown>& Shown() const { return shown_; }
    const TShown& Last() const;
    size_t Unanswered() const { return answers_.size(); }
    void Clear();

    int MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                   const std::string& caption) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    bool OpenFile(TFileDialog& dialog) override;
    bool SaveFile(TFileDialog& dialog) override;

  private:
    // With nothing scripted, a box that has only OK is acknowledged and any other
    // dialog is cancelled, so an unexpected question never blocks a test.
    TAnswer Next(int unscripted);
    bool FileAnswer(TShownKind what, TFileDialog& dialog);

    std::deque<TAnswer> answers_;
    std::vector<TShown> shown_;
    TDialogsOverride install_;
};

} // namespace fw
