// The spell-check control VSPELL32.DLL: an in-process automation object that checks a text
// against "american.vtd" and the user's own words, asking about each unknown word in its
// misspelled-word dialog.
//
// Properties (dispatch number, type):
//   StandardDictionary  2  BSTR  the dictionary file; a bare name is looked up beside the DLL
//   ResultCode         27  VT_I2 after a check: the number of words changed (0 or more) when
//                                 the check reached the end of the text, -1 when the user
//                                 cancelled it (the text keeps the changes made so far)
//   Text               34  BSTR  the text with the user's changes
//   WordMisspelledTitle 54 BSTR  the misspelled-word dialog's title
//   CheckText          68  BSTR  writing it checks that text interactively; reading gives it back
//   ClearCounts        70  VT_I2 writing any value sets the counters (words changed, words
//                                 asked about) to 0; reading gives the words asked about
//   ResumeCheck        74  VT_I2 reading it goes on with a cancelled check from the word that
//                                 was cancelled and gives the new ResultCode; after a
//                                 finished check it gives ResultCode unchanged
//   OptionsDialogTitle 101, ErrorDialogTitle 102, HelpFile 103  BSTR  the window's stored
//                                 settings for the dialogs ("vspeller.hlp" beside the DLL)
// Wrong argument types give DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW, unknown numbers
// DISP_E_MEMBERNOTFOUND, failures (such as a missing dictionary) DISP_E_EXCEPTION; each
// with a description in the EXCEPINFO.
#pragma once

#include <windows.h>

namespace vspell {

// {97F4CED0-9103-11CE-8385-524153480001}
inline constexpr CLSID kClsid = {
    0x97F4CED0, 0x9103, 0x11CE, {0x83, 0x85, 0x52, 0x41, 0x53, 0x48, 0x00, 0x01}};
inline constexpr const char* kClsidText = "{97F4CED0-9103-11CE-8385-524153480001}";

enum DispId : DISPID {
    dispStandardDictionary = 2,
    dispResultCode = 27,
    dispText = 34,
    dispWordMisspelledTitle = 54,
    dispCheckText = 68,
    dispClearCounts = 70,
    dispResumeCheck = 74,
    dispOptionsDialogTitle = 101,
    dispErrorDialogTitle = 102,
    dispHelpFile = 103,
};

// The misspelled-word dialog's buttons, which are also its answers.
enum Answer : int {
    ansChange = 201,
    ansChangeAll,
    ansIgnore,
    ansIgnoreAll,
    ansAdd,
    ansCancel,
    ansHelp,
};
// Its other controls.
enum DialogControl : int { idSentence = 211, idReplacement, idSuggestions };

// Tests answer the dialog without a person: once it is shown, the hook gets the dialog
// window, the word and the suggestions (one per line) and returns the button to press,
// having written into replacement (size bytes) the text to put in the replacement box
// (left as it is when empty). Installed through the exported function VSpellAnswerHook.
using AnswerHook = int(WINAPI*)(HWND dialog, const char* word, const char* suggestions,
                                char* replacement, int size);

} // namespace vspell
