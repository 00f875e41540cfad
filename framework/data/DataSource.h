// TDataSource binds a table to the controls that show it; each control holds a
// TDataLink to the source and is told when the table's current row or its values change
// and when the table changes state (closed, browse, edit, insert, key mode).
#pragma once

#include "framework/Component.h"
#include "framework/data/Table.h"
#include "framework/data/TableObserver.h"

#include <functional>
#include <vector>

namespace fw {

class TDataLink;

class TDataSource : public TComponent, private TTableObserver {
  public:
    explicit TDataSource(TComponent* owner) : TComponent(owner) {}
    ~TDataSource() override;

    TTable* DataSet() const { return dataSet_; }
    void SetDataSet(TTable* value);
    // Whether typing in a bound control starts an edit by itself.
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool value) { autoEdit_ = value; }
    TDataSetState State() const { return dataSet_ ? dataSet_->State() : TDataSetState::dsInactive; }

  private:
    friend class TDataLink;

    void TableStateChanged() override;
    void TableDataChanged() override;
    void TableDestroyed(TTable& table) override;
    void StateChangedForAll();
    void Tell(std::function<void()> TDataLink::*handler);

    TTable* dataSet_ = nullptr;
    bool autoEdit_ = true;
    std::vector<TDataLink*> links_;
};

// A control's tie to a data source; it leaves the source when it goes.
class TDataLink {
  public:
    TDataLink() = default;
    ~TDataLink() { Detach(); }
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* value);
    TTable* DataSet() const { return source_ ? source_->DataSet() : nullptr; }
    // A table is bound and open.
    bool Active() const { return DataSet() && DataSet()->Active(); }

    std::function<void()> OnDataChange;
    std::function<void()> OnStateChange;

  private:
    friend class TDataSource;
    // Leaves the source without calling the handlers: the control may be going.
    void Detach();
    TDataSource* source_ = nullptr;
};

} // namespace fw
