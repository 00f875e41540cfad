// The main window's "&Find Tagline..." and "Find &Next", handed to the tagline finder.
#include "rotation/Main.h"

#include "framework/data/Table.h"

TTaglineFind& TMainForm::TaglineFinder() {
    if (!Finder)
        Finder.emplace(*Table1, *this);
    return *Finder;
}

void TMainForm::mnuDBFindClick(fw::TComponent*) {
    TaglineFinder().Find();
}

void TMainForm::mnuDBFindNextClick(fw::TComponent*) {
    TaglineFinder().FindNext();
}
