// TBrkApart: splits a string into pieces at every occurrence of a separator and joins
// the pieces back. With empty pieces kept, a split followed by a join gives back the
// input exactly, so a caller can replace single words of a line and nothing else.
#pragma once

#include "framework/Component.h"

#include <string>
#include <vector>

class TBrkApart : public fw::TComponent {
  public:
    explicit TBrkApart(fw::TComponent* owner) : TComponent(owner) {}

    std::string BreakString;
    std::string BaseString;
    bool AllowEmptyString = false;

    // The pieces: the output of Split, the input of Join. Callers may change them in
    // place between the two.
    std::vector<std::string>& StringList() { return stringList_; }
    void SetStringList(const std::vector<std::string>& pieces) { stringList_ = pieces; }

    void Split();
    void Join();

  private:
    std::vector<std::string> stringList_;
};
