// The dialogs service: every modal interaction with the user (message boxes, the input
// box, the open and save dialogs, the general error display) goes through it. The real
// service shows Win32 dialogs; tests install a scripted one of their own.
#pragma once

#include <string>

namespace fw {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum class TMsgDlgButtons { mbOK, mbOKCancel, mbYesNo, mbYesNoCancel, mbYesCancel };

// Answers, with the values of the system's own dialog results.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };
// A result named as a layout names it ("mrOk"); raises for an unknown name.
TModalResult ModalResultFromName(const std::string& name);

// The settings of one open or save dialog, and the chosen name after it ran.
struct TFileDialog {
    std::string Title;
    std::string Filter; // pairs "Text files (*.txt)|*.txt|All files (*.*)|*.*"
    std::string InitialDir;
    std::string DefaultExt;    // without the dot
    std::string FileName;      // in: suggested name; out: the chosen full name
    unsigned long Options = 0; // OFN_ flags added to the defaults
};

class TDialogService {
  public:
    virtual ~TDialogService() = default;
    virtual int MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                           const std::string& caption) = 0;
    // True when the user accepted; value holds the default on entry and the answer on exit.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;
    virtual bool OpenFile(TFileDialog& dialog) = 0;
    virtual bool SaveFile(TFileDialog& dialog) = 0;
};

// The service in use: the real one unless a test has installed another.
TDialogService& Dialogs();

// Installs a service for as long as this object lives (tests).
class TDialogsOverride {
  public:
    explicit TDialogsOverride(TDialogService& service);
    ~TDialogsOverride();
    TDialogsOverride(const TDialogsOverride&) = delete;
    TDialogsOverride& operator=(const TDialogsOverride&) = delete;

  private:
    TDialogService* previous_;
};

// A message box of the given kind; its caption follows the kind ("Warning", "Error",
// "Information", "Confirm"); a plain box (mtCustom) carries the application title.
int MessageDlg(const std::string& text, TMsgDlgType kind, TMsgDlgButtons buttons);
// A plain message box with one OK button.
void ShowMessage(const std::string& text);
// The input box: the answer, or the default when the user cancels.
std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultValue);

} // namespace fw
