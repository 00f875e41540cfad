// Splitting a string into pieces at a separator and joining pieces back with it.
#include "desktop/Brkapart.h"

#include "framework/text/TextLines.h"

void TBrkApart::Split() {
    stringList_ = fw::SplitPieces(BaseString, BreakString, AllowEmptyString);
}

void TBrkApart::Join() {
    BaseString = fw::JoinPieces(stringList_, BreakString, AllowEmptyString);
}
