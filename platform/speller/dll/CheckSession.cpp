// The interactive check's walk over a text and what each answer does to it.
#include "platform/speller/dll/CheckSession.h"

#include "platform/speller/dll/VSpell.h"

namespace vspell {

std::string SentenceAround(const std::string& text, size_t offset, size_t length, size_t& start) {
    auto ends = [&](size_t i) {
        char c = text[i];
        if (c == '\r' || c == '\n')
            return true;
        return (c == '.' || c == '!' || c == '?') && i + 1 < text.size() &&
               (text[i + 1] == ' ' || text[i + 1] == '\r' || text[i + 1] == '\n');
    };
    start = offset;
    while (start > 0 && !ends(start - 1))
        --start;
    while (start < offset && text[start] == ' ')
        ++start;
    size_t end = offset + length;
    while (end < text.size() && !ends(end))
        ++end;
    if (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end; // keep the sentence's full stop
    return text.substr(start, end - start);
}

void CheckSession::Start(std::string text) {
    text_ = std::move(text);
    pos_ = 0;
    cancelled_ = false;
    changedAtStart_ = changed_;
    changeAll_.clear();
}

void CheckSession::Replace(size_t offset, size_t length, const std::string& by) {
    text_.replace(offset, length, by);
    pos_ = offset + by.size();
    ++changed_;
}

bool CheckSession::Run(spell::Checker& checker, const Asker& ask, const Reporter& report) {
    cancelled_ = false;
    // The word asked about before its Options answer is not counted twice when asked again.
    size_t again = std::string::npos;
    while (pos_ <= text_.size()) {
        auto found = checker.NextMisspelling(text_, pos_);
        if (!found)
            break;
        const std::string word = text_.substr(found->offset, found->length);
        if (auto all = changeAll_.find(word); all != changeAll_.end()) {
            Replace(found->offset, found->length, all->second);
            continue;
        }
        Question q;
        q.word = word;
        size_t start = 0;
        q.sentence = SentenceAround(text_, found->offset, found->length, start);
        q.wordInSentence = found->offset - start;
        q.suggestions = checker.Suggest(word);
        if (found->offset != again)
            ++asked_;
        const Reply reply = ask(q);
        again = reply.answer == ansOptions ? found->offset : std::string::npos;
        switch (reply.answer) {
        case ansChangeAll:
            changeAll_[word] = reply.replacement;
            [[fallthrough]];
        case ansChange:
            Replace(found->offset, found->length, reply.replacement);
            break;
        case ansIgnoreAll:
            checker.IgnoreAll(word);
            pos_ = found->offset + found->length;
            break;
        case ansAdd:
            try {
                checker.AddToUserWords(word);
            } catch (const spell::Error& e) {
                report(std::string(e.what()) + ".\r\n\r\n\"" + word +
                       "\" is accepted until the program ends.");
            }
            pos_ = found->offset + found->length;
            break;
        case ansOptions:
            pos_ = found->offset;
            break;
        case ansCancel:
            // A resumed check asks about this word again.
            pos_ = found->offset;
            cancelled_ = true;
            return false;
        default: // Ignore
            pos_ = found->offset + found->length;
            break;
        }
    }
    pos_ = text_.size() + 1;
    return true;
}

} // namespace vspell
