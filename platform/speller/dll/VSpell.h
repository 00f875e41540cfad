// The spell-check control VSPELL32.DLL: an in-process automation object that checks a text
// against "american.vtd" and the user's own words, asking about each unknown word in its
// misspelled-word dialog.
//
// Properties (dispatch number, type):
//   StandardDictionary  2  BSTR  the dictionary file; a bare name is looked up beside the DLL
//   ResultCode         27  VT_I2 after a check: the number of words changed (0 or more) when
//                                 the check reached the end of the text, kResultCancelled
//                                 (-1) when the user cancelled it in the misspelled-word
//                                 dialog, by its Cancel button or its close box (the text
//                                 keeps the changes made so far); no other value is negative
//   Text               34  BSTR  the text with the user's changes
//   WordMisspelledTitle 54 BSTR  the misspelled-word dialog's title
//   CheckText          68  BSTR  writing it checks that text interactively; reading gives it back
//   ClearCounts        70  VT_I2 writing any value sets the counters (words changed, words
//                                 asked about) to 0; reading gives the words asked about
//   ResumeCheck        74  VT_I2 reading it goes on with a cancelled check from the word that
//                                 was cancelled and gives the new ResultCode (again
//                                 kResultCancelled when cancelled again); after a finished
//                                 check it gives ResultCode unchanged
//   OptionsDialogTitle 101, ErrorDialogTitle 102, HelpFile 103  BSTR  the window's stored
//                                 settings for the dialogs ("vspeller.hlp" beside the DLL)
//   ShowOptions       104  VT_I2 reading it shows the options dialog: 1 when the user
//                                 pressed OK, 0 for Cancel; the options apply to the next
//                                 check or resumed check (when they cannot be saved they
//                                 apply still, and the call gives DISP_E_EXCEPTION)
//
// The options (words in capitals, words with numbers, addresses, split-word suggestions)
// are kept per user in %APPDATA%\Quiptide\SpellOptions.txt beside UserWords.txt. Failures
// inside the interactive check (the word list or the options file cannot be written) are
// shown in the error dialog and the check goes on.
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

// ResultCode and ResumeCheck when the user cancelled the check: a program that walks many
// texts ends its walk on it.
inline constexpr short kResultCancelled = -1;

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
    dispShowOptions = 104,
};

// The dialogs' window classes, by which the test hook tells them apart.
inline constexpr const char* kMisspelledClass = "VSpellMisspelledWord";
inline constexpr const char* kOptionsClass = "VSpellOptions";
inline constexpr const char* kErrorClass = "VSpellError";

// The misspelled-word dialog's buttons, which are also its answers.
enum Answer : int {
    ansChange = 201,
    ansChangeAll,
    ansIgnore,
    ansIgnoreAll,
    ansAdd,
    ansCancel,
    ansHelp,
    ansOptions, // opens the options dialog, then asks about the word again if still unknown
};
// Its other controls.
enum DialogControl : int { idSentence = 211, idReplacement, idSuggestions };
// The options dialog's check boxes and its Help button (OK and Cancel are IDOK, IDCANCEL).
enum OptionsControl : int {
    idIgnoreUppercase = 221,
    idIgnoreNumbers,
    idIgnoreAddresses,
    idSuggestSplit,
    idOptionsHelp,
};
// The error dialog's Help button (OK is IDOK).
inline constexpr int idErrorHelp = 231;

// Tests answer the dialogs without a person: once one is shown, the hook gets its window
// (its class tells which), a text and a list, and returns the button to press (0: none,
// a person answers), having written into reply (size bytes):
// - misspelled-word dialog: text is the word, list its suggestions (one per line); reply
//   is the text to put in the replacement box (left as it is when empty);
// - options dialog: text is empty, list the options as "Name=0|1" lines (IgnoreUppercase,
//   IgnoreNumbers, IgnoreAddresses, SuggestSplitWords); reply lines of that kind tick or
//   clear those boxes;
// - error dialog: text is the message shown, list is empty; reply is not used.
// Installed through the exported function VSpellAnswerHook.
using AnswerHook = int(WINAPI*)(HWND dialog, const char* text, const char* list, char* reply,
                                int size);

} // namespace vspell
