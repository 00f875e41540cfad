// Finding a tagline by a part of its text: the input box, the engine's search, and the
// box that says when no tagline holds the text.
#include "taglinedb/TaglineFind.h"

#include "framework/Dialogs.h"
#include "framework/data/Table.h"

void TTaglineFind::Find() {
    // A closed table's error comes before the question, not after it.
    table_.CheckActive();
    std::string text = text_;
    if (!fw::Dialogs().InputQuery("Find Tagline", "Find the tagline that contains:", text) ||
        text.empty())
        return;
    text_ = text;
    Search();
}

void TTaglineFind::FindNext() {
    if (text_.empty()) {
        Find();
        return;
    }
    table_.CheckActive();
    Search();
}

void TTaglineFind::Search() {
    if (!table_.SearchText("TagText", text_)) {
        fw::MessageDlg("No tagline contains \"" + text_ + "\".", fw::TMsgDlgType::mtInformation,
                       fw::TMsgDlgButtons::mbOK);
        return;
    }
    if (host_.CyclingTimer().Enabled())
        host_.StopTimer();
    host_.RebuildDraft();
}
