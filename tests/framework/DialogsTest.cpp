// The dialogs service seen through the scripted double, and the general error display.
#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Forms.h"
#include "framework/GlyphButtons.h"
#include "framework/Timer.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

using fw::TMsgDlgButtons;
using fw::TMsgDlgType;
using Shown = fw::TScriptedDialogs::TShownKind;

TEST(Dialogs, MessageBoxesCarryKindButtonsTextAndCaptionAndTakeScriptedAnswersInOrder) {
    fw::Application().Initialize();
    fw::Application().SetTitle("Quiptide");
    fw::TScriptedDialogs dialogs;
    dialogs.Answer(fw::mrNo);
    dialogs.Answer(fw::mrCancel);
    EXPECT_EQ(fw::MessageDlg("Q1", TMsgDlgType::mtConfirmation, TMsgDlgButtons::mbYesNoCancel),
              fw::mrNo);
    EXPECT_EQ(fw::MessageDlg("Q2", TMsgDlgType::mtWarning, TMsgDlgButtons::mbOKCancel),
              fw::mrCancel);
    fw::ShowMessage("plain");
    fw::MessageDlg("bad", TMsgDlgType::mtError, TMsgDlgButtons::mbOK);
    fw::MessageDlg("note", TMsgDlgType::mtInformation, TMsgDlgButtons::mbYesNo);

    const auto& s = dialogs.Shown();
    ASSERT_EQ(s.size(), 5u);
    EXPECT_EQ(s[0].Kind, TMsgDlgType::mtConfirmation);
    EXPECT_EQ(s[0].Buttons, TMsgDlgButtons::mbYesNoCancel);
    EXPECT_EQ(s[0].Text, "Q1");
    EXPECT_EQ(s[0].Caption, "Confirm");
    EXPECT_EQ(s[1].Caption, "Warning");
    EXPECT_EQ(s[2].Kind, TMsgDlgType::mtCustom);
    EXPECT_EQ(s[2].Caption, "Quiptide"); // a plain box carries the application title
    EXPECT_EQ(s[3].Caption, "Error");
    EXPECT_EQ(s[4].Caption, "Information");
    EXPECT_EQ(dialogs.Unanswered(), 0u);
}

TEST(Dialogs, UnscriptedBoxesAcknowledgeOkAndCancelEverythingElse) {
    fw::TScriptedDialogs dialogs;
    EXPECT_EQ(fw::MessageDlg("x", TMsgDlgType::mtError, TMsgDlgButtons::mbOK), fw::mrOk);
    EXPECT_EQ(fw::MessageDlg("y", TMsgDlgType::mtWarning, TMsgDlgButtons::mbYesNo), fw::mrCancel);
    fw::TFileDialog open;
    open.Title = "Open";
    EXPECT_FALSE(dialogs.OpenFile(open));
    EXPECT_EQ(dialogs.Last().What, Shown::Open);
}

TEST(Dialogs, InputBoxGivesTheAnswerOrTheDefaultWhenCancelled) {
    fw::TScriptedDialogs dialogs;
    dialogs.Answer(fw::mrOk, "typed");
    dialogs.Answer(fw::mrCancel, "ignored");
    EXPECT_EQ(fw::InputBox("Cap", "Prompt", "def"), "typed");
    EXPECT_EQ(fw::InputBox("Cap", "Prompt", "def"), "def");
    EXPECT_EQ(dialogs.Last().What, Shown::Input);
    EXPECT_EQ(dialogs.Last().Text, "Prompt");
    EXPECT_EQ(dialogs.Last().Caption, "Cap");
}

TEST(Dialogs, FileDialogsHandBackTheChosenName) {
    fw::TScriptedDialogs dialogs;
    dialogs.Answer(fw::mrOk, "C:\\sig\\signatur.pce");
    fw::TFileDialog save;
    save.Title = "Save Signature As";
    save.FileName = "old.pce";
    ASSERT_TRUE(fw::Dialogs().SaveFile(save));
    EXPECT_EQ(save.FileName, "C:\\sig\\signatur.pce");
    EXPECT_EQ(dialogs.Last().What, Shown::Save);
    EXPECT_EQ(dialogs.Last().Text, "Save Signature As");
}

TEST(Dialogs, AnOverrideEndsWithItsScope) {
    fw::TScriptedDialogs outer;
    {
        fw::TScriptedDialogs inner;
        fw::ShowMessage("to inner");
        EXPECT_EQ(inner.Shown().size(), 1u);
    }
    fw::ShowMessage("to outer");
    ASSERT_EQ(outer.Shown().size(), 1u);
    EXPECT_EQ(outer.Last().Text, "to outer");
}

// The real service: the system has no Yes and Cancel box, so an OK and Cancel one is
// shown with its OK button renamed; Yes answers mrYes and Escape cancels.
// What the timer below saw and does: the OK button's label, and the answer it gives.
std::string yesLabel;
int yesStep;

void CALLBACK AnswerYesCancel(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = FindWindowA("#32770", "Warning");
    if (!box)
        return;
    char text[32] = {};
    GetDlgItemTextA(box, IDOK, text, sizeof text);
    yesLabel = text;
    if (yesStep == fw::mrYes)
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

TEST(Dialogs, TheRealYesCancelBoxShowsYesAndCancel) {
    for (int answer : {fw::mrYes, fw::mrCancel}) {
        yesLabel.clear();
        yesStep = answer;
        UINT_PTR timer = SetTimer(nullptr, 0, 100, AnswerYesCancel);
        EXPECT_EQ(fw::MessageDlg("Delete?", TMsgDlgType::mtWarning, TMsgDlgButtons::mbYesCancel),
                  answer);
        KillTimer(nullptr, timer);
        EXPECT_EQ(yesLabel, "&Yes");
    }
}

// The real file dialogs come from a library bound at their first use: each opens, under
// its title, and a cancel gives no name.
void CALLBACK CancelFileDialog(HWND, UINT, UINT_PTR, DWORD) {
    for (const char* title : {"Pick one", "Save one"})
        if (HWND dialog = FindWindowA("#32770", title)) {
            yesLabel = title;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
}

TEST(Dialogs, TheRealFileDialogsOpenAndCancel) {
    for (bool save : {false, true}) {
        yesLabel.clear();
        fw::TFileDialog d;
        d.Title = save ? "Save one" : "Pick one";
        d.FileName = "kept.txt";
        UINT_PTR timer = SetTimer(nullptr, 0, 100, CancelFileDialog);
        EXPECT_FALSE(save ? fw::Dialogs().SaveFile(d) : fw::Dialogs().OpenFile(d));
        KillTimer(nullptr, timer);
        EXPECT_EQ(yesLabel, d.Title);
        EXPECT_EQ(d.FileName, "kept.txt");
    }
}

// An uncaught exception in a handler reached through a real window message is shown as
// an error box with its message, and the program goes on handling messages.
TEST(GeneralErrorDisplay, HandlerExceptionsAreShownAndTheProgramKeepsRunning) {
    fw::Application().Initialize();
    fw::Application().SetTitle("Quiptide");
    fw::TScriptedDialogs dialogs;
    fw::TForm form(nullptr);
    auto* button = new fw::TButton(&form);
    button->SetBounds(0, 0, 80, 22);
    button->SetParent(&form);
    int clicks = 0;
    button->OnClick = [&](fw::TComponent*) {
        if (++clicks == 1)
            throw fw::Exception("'abc' is not a valid integer value");
    };
    form.CreateHandle();
    ASSERT_TRUE(button->HandleAllocated());
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Kind, TMsgDlgType::mtError);
    EXPECT_EQ(dialogs.Last().Buttons, TMsgDlgButtons::mbOK);
    EXPECT_EQ(dialogs.Last().Text, "'abc' is not a valid integer value");
    EXPECT_EQ(dialogs.Last().Caption, "Quiptide");
    SendMessageA(button->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(dialogs.Shown().size(), 1u);
}

TEST(GeneralErrorDisplay, ProtectReportsFailureAndCatchesNonStandardThrows) {
    fw::TScriptedDialogs dialogs;
    EXPECT_TRUE(fw::Application().Protect([] {}));
    EXPECT_FALSE(fw::Application().Protect([] { throw 42; }));
    EXPECT_EQ(dialogs.Last().Text, "Unknown error");
}

TEST(GeneralErrorDisplay, TimerTickExceptionsAreShownToo) {
    fw::TScriptedDialogs dialogs;
    fw::TTimer timer(nullptr);
    timer.OnTimer = [&](fw::TComponent*) {
        timer.SetEnabled(false);
        throw fw::Exception("tick failed");
    };
    timer.SetInterval(10);
    DWORD until = GetTickCount() + 5000;
    while (dialogs.Shown().empty() && GetTickCount() < until) {
        fw::Application().ProcessMessages();
        Sleep(5);
    }
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text, "tick failed");
}

} // namespace
