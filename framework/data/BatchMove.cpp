// The batch move over the engine's own batch move: attaching source and destination,
// creating the side tables, and the counts of what moved and what was turned away.
#include "framework/data/BatchMove.h"

#include "framework/data/DBErrors.h"
#include "framework/data/Table.h"

namespace fw {

TBatchMove::~TBatchMove() {
    SetSource(nullptr);
    SetDestination(nullptr);
}

void TBatchMove::Attach(TTable*& slot, TTable* table) {
    if (slot == table)
        return;
    TTable* old = slot;
    slot = table;
    if (old && old != source_ && old != destination_)
        old->RemoveObserver(this);
    if (table)
        table->AddObserver(this);
}

void TBatchMove::TableDestroyed(TTable& table) {
    if (source_ == &table)
        source_ = nullptr;
    if (destination_ == &table)
        destination_ = nullptr;
    table.RemoveObserver(this);
}

void TBatchMove::Execute() {
    if (!source_ || !destination_)
        throw EDatabaseError("A batch move needs a source and a destination table");
    movedCount_ = keyViolCount_ = problemCount_ = changedCount_ = 0;

    // What this move opens, it closes, however the move ends.
    TTable* opened[2] = {};
    auto closeOpened = [&opened] {
        for (TTable* t : opened)
            if (t)
                t->Close();
    };
    try {
        for (int i = 0; i < 2; ++i) {
            TTable* t = i == 0 ? source_ : destination_;
            if (!t->Active()) {
                t->Open();
                opened[i] = t;
            }
            t->CheckBrowseMode();
        }
        IdpMoveCounts counts{};
        IdpStatus status = idpBatchMove(
            source_->Handle(), destination_->Handle(),
            mode_ == TBatchMode::batAppendUpdate ? IDP_MOVE_APPEND_UPDATE : IDP_MOVE_APPEND,
            keyViolTableName_.c_str(), problemTableName_.c_str(), changedTableName_.c_str(),
            abortOnKeyViol_ ? 1 : 0, abortOnProblem_ ? 1 : 0, &counts);
        movedCount_ = static_cast<int>(counts.read);
        keyViolCount_ = static_cast<int>(counts.keyViolations);
        problemCount_ = static_cast<int>(counts.problems);
        changedCount_ = static_cast<int>(counts.changed);
        source_->NotifyData();
        destination_->NotifyData();
        CheckCall(status);
    } catch (...) {
        try {
            closeOpened();
        } catch (const EDatabaseError&) {
            // The move's own failure is the one to report.
        }
        throw;
    }
    closeOpened();
}

} // namespace fw
