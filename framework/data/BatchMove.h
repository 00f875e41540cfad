// TBatchMove: moves every row of a source table into a destination table, columns by
// position, and counts what it read and what it turned away. Rows whose key is already
// there go to the key-violation table (append) or replace that row, whose old values go
// to the changed table (append-update); rows whose values do not fit go to the problem
// table.
#pragma once

#include "framework/Component.h"
#include "framework/data/TableObserver.h"

#include <string>

namespace fw {

class TTable;

enum class TBatchMode { batAppend, batAppendUpdate };

class TBatchMove : public TComponent, private TTableObserver {
  public:
    explicit TBatchMove(TComponent* owner) : TComponent(owner) {}
    ~TBatchMove() override;

    TTable* Source() const { return source_; }
    void SetSource(TTable* value) { Attach(source_, value); }
    TTable* Destination() const { return destination_; }
    void SetDestination(TTable* value) { Attach(destination_, value); }
    TBatchMode Mode() const { return mode_; }
    void SetMode(TBatchMode value) { mode_ = value; }
    // Side tables: in the destination's folder unless the name has a path; empty: none.
    const std::string& KeyViolTableName() const { return keyViolTableName_; }
    void SetKeyViolTableName(const std::string& value) { keyViolTableName_ = value; }
    const std::string& ProblemTableName() const { return problemTableName_; }
    void SetProblemTableName(const std::string& value) { problemTableName_ = value; }
    const std::string& ChangedTableName() const { return changedTableName_; }
    void SetChangedTableName(const std::string& value) { changedTableName_ = value; }
    bool AbortOnKeyViol() const { return abortOnKeyViol_; }
    void SetAbortOnKeyViol(bool value) { abortOnKeyViol_ = value; }
    bool AbortOnProblem() const { return abortOnProblem_; }
    void SetAbortOnProblem(bool value) { abortOnProblem_ = value; }

    // Moves all rows of Source from its first one. A closed table is opened for the move
    // and closed again; an open destination ends on its first row. The counts are set
    // even when the move fails part way.
    void Execute();

    // Rows read from the source, rejected ones included.
    int MovedCount() const { return movedCount_; }
    int KeyViolCount() const { return keyViolCount_; }
    int ProblemCount() const { return problemCount_; }
    int ChangedCount() const { return changedCount_; }

  private:
    void Attach(TTable*& slot, TTable* table);
    void TableDestroyed(TTable& table) override;

    TTable* source_ = nullptr;
    TTable* destination_ = nullptr;
    TBatchMode mode_ = TBatchMode::batAppend;
    std::string keyViolTableName_;
    std::string problemTableName_;
    std::string changedTableName_;
    bool abortOnKeyViol_ = true;
    bool abortOnProblem_ = true;
    int movedCount_ = 0;
    int keyViolCount_ = 0;
    int problemCount_ = 0;
    int changedCount_ = 0;
};

} // namespace fw
