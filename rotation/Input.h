// TInputForm: the signature selection dialog. It shows a mail signature file and lets the
// user highlight the part that is the signature.
#pragma once

#include "framework/Forms.h"
#include "framework/Memo.h"
#include "framework/PushButton.h"

#include <string>

class TInputForm : public fw::TForm {
  public:
    explicit TInputForm(fw::TComponent* owner);

    fw::TMemo* RichEdit; // the instruction, read-only
    fw::TMemo* MemoInput;
    fw::TButton *OKBtn, *CancelBtn;

    // "Done": keeps the highlighted text of MemoInput (the button closes with mrOk).
    void OKBtnClick(fw::TComponent* sender);
    // The text highlighted when "Done" was pressed; empty when nothing was.
    const std::string& Selected() const { return selected_; }

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;

  private:
    std::string selected_;
};
