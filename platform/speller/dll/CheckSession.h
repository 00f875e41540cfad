// One interactive check: walks a text's unknown words, asks what to do with each and
// applies the answers (change, change all, ignore, ignore all, add, options, cancel).
#pragma once

#include "platform/speller/core/Speller.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vspell {

struct Question {
    std::string word;
    std::string sentence;      // the sentence the word stands in
    size_t wordInSentence = 0; // where the word starts within it
    std::vector<std::string> suggestions;
};
struct Reply {
    int answer;              // an Answer of VSpell.h
    std::string replacement; // for Change and Change All
};
using Asker = std::function<Reply(const Question&)>;
// Tells the user of a failure the check goes on after.
using Reporter = std::function<void(const std::string& message)>;

// The sentence around a byte range: from the end of the previous sentence (". ", "! ",
// "? " or a line break) to the end of this one.
std::string SentenceAround(const std::string& text, size_t offset, size_t length, size_t& start);

class CheckSession {
  public:
    // Starts checking a new text; the words to change throughout are forgotten.
    void Start(std::string text);
    // Goes on from where the check stands; false when the user cancelled. After an
    // Options answer (the asker has applied the options) it looks again from the word asked
    // about; a word that cannot be saved by Add is reported and accepted for the session.
    bool Run(spell::Checker& checker, const Asker& ask, const Reporter& report);

    const std::string& Text() const { return text_; }
    bool Cancelled() const { return cancelled_; }
    int Changed() const { return changed_; }
    // Words changed in the text since Start.
    int ChangedInText() const { return changed_ - changedAtStart_; }
    int Asked() const { return asked_; }
    void ClearCounts() { changed_ = asked_ = changedAtStart_ = 0; }

  private:
    void Replace(size_t offset, size_t length, const std::string& by);

    std::string text_;
    size_t pos_ = 0;
    bool cancelled_ = false;
    int changed_ = 0, asked_ = 0, changedAtStart_ = 0;
    std::map<std::string, std::string> changeAll_;
};

} // namespace vspell
