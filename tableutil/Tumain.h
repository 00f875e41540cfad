// TFormTUMain: the modal "Table Repair Utility" window. It shows the statistics of the
// table to be repaired, verifies it, shows the problems found in the problem viewer and
// rebuilds the table when the verdict allows.
#pragma once

#include "framework/Edit.h"
#include "framework/Forms.h"
#include "framework/GroupBox.h"
#include "framework/Label.h"
#include "framework/PushButton.h"
#include "tableutil/Rebdlg.h"
#include "tableutil/Tu32.h"
#include "tableutil/Verdlg.h"
#include "tableutil/Vwerrdlg.h"

#include <string>

// An edit line that reports when the focus leaves it for another control of its shown
// window: not when the window is hidden or closed, nor when the user turns to another
// program.
class TExitEdit : public fw::TEdit {
  public:
    using fw::TEdit::TEdit;
    fw::TNotifyEvent OnExit;
    bool SetProperty(const std::string& name, const fw::TLayoutValue& value,
                     const fw::TEventTable& events) override;

  protected:
    void HandleCreated() override;

  private:
    // Hears which window the focus goes to, which the edit's notification does not say.
    static LRESULT CALLBACK FocusProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR id, DWORD_PTR self);
};

class TFormTUMain : public fw::TForm {
  public:
    // tablePath: the path of the tagline table, which the window opens on. discardedBackup:
    // the backup table (with .db) that the caller deletes once the window has closed; a
    // rebuild that keeps its backup anywhere else says where it is.
    TFormTUMain(fw::TComponent* owner, const std::string& tablePath,
                const std::string& discardedBackup = "");

    fw::TGroupBox *GroupBoxSelectTable = nullptr, *GroupBoxViewInfo = nullptr;
    TExitEdit* EditFileName = nullptr;
    fw::TLabel *LabelNumRecs = nullptr, *LabelNumFields = nullptr, *LabelRecSize = nullptr,
               *LabelPasswordTF = nullptr, *LabelNumAuxPasswords = nullptr;
    fw::TButton *ButtonVerify = nullptr, *ButtonRebuild = nullptr, *ButtonClose = nullptr,
                *ButtonHelp = nullptr;
    TTUtility* TUtility1 = nullptr;
    TVerifyDlg* VerifyDlg1 = nullptr;
    TRebuildDlg* RebuildDlg1 = nullptr;
    // The problem viewer; null once the Close button has freed it.
    TBtnBottomDlg* BtnBottomDlg = nullptr;

    void FormCreate(fw::TComponent* sender);
    void EditFileNameExit(fw::TComponent* sender);
    void ButtonVerifyClick(fw::TComponent* sender);
    void ButtonRebuildClick(fw::TComponent* sender);
    void ButtonCloseClick(fw::TComponent* sender);
    void EnableButtons(bool on);
    void ShowTableInfo();
    void ClearErrorTable();

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;

  private:
    std::string tablePath_, discardedBackup_;
};
