// Splitting a string into pieces at a separator and joining pieces back with it.
#include "desktop/Brkapart.h"

void TBrkApart::Split() {
    stringList_.clear();
    std::string::size_type start = 0;
    for (;;) {
        // An empty separator is never found: the whole string is the only piece.
        const auto p =
            BreakString.empty() ? std::string::npos : BaseString.find(BreakString, start);
        const std::string piece =
            BaseString.substr(start, p == std::string::npos ? std::string::npos : p - start);
        if (!piece.empty() || AllowEmptyString)
            stringList_.push_back(piece);
        if (p == std::string::npos)
            return;
        start = p + BreakString.size();
    }
}

void TBrkApart::Join() {
    BaseString.clear();
    if (stringList_.empty())
        return;
    BaseString = stringList_.front();
    for (std::size_t i = 1; i < stringList_.size(); ++i) {
        if (stringList_[i].empty() && !AllowEmptyString)
            continue;
        BaseString += BreakString;
        BaseString += stringList_[i];
    }
}
