// The data source: which table it shows, and telling every attached control when that
// table's state or current row changes.
#include "framework/data/DataSource.h"

#include <algorithm>

namespace fw {

// Going quietly: the controls and the table may be going too.
TDataSource::~TDataSource() {
    if (dataSet_)
        dataSet_->RemoveObserver(this);
    for (TDataLink* link : links_)
        link->source_ = nullptr;
}

void TDataSource::SetDataSet(TTable* value) {
    if (value == dataSet_)
        return;
    if (dataSet_)
        dataSet_->RemoveObserver(this);
    dataSet_ = value;
    if (dataSet_)
        dataSet_->AddObserver(this);
    StateChangedForAll();
}

void TDataSource::TableStateChanged() {
    Tell(&TDataLink::OnStateChange);
}

void TDataSource::TableDataChanged() {
    Tell(&TDataLink::OnDataChange);
}

// Links are told from a copy of the list, and only while still attached, so a handler
// may detach its own or another control.
void TDataSource::Tell(std::function<void()> TDataLink::*handler) {
    std::vector<TDataLink*> links = links_;
    for (TDataLink* link : links)
        if (std::find(links_.begin(), links_.end(), link) != links_.end() && link->*handler)
            (link->*handler)();
}

void TDataSource::TableDestroyed(TTable& table) {
    table.RemoveObserver(this);
    dataSet_ = nullptr;
    StateChangedForAll();
}

// Another table, or none: everything a control shows may have changed.
void TDataSource::StateChangedForAll() {
    TableStateChanged();
    TableDataChanged();
}

void TDataLink::SetDataSource(TDataSource* value) {
    if (value == source_)
        return;
    Detach();
    source_ = value;
    if (source_)
        source_->links_.push_back(this);
    if (OnStateChange)
        OnStateChange();
    if (OnDataChange)
        OnDataChange();
}

void TDataLink::Detach() {
    if (source_)
        source_->links_.erase(std::remove(source_->links_.begin(), source_->links_.end(), this),
                              source_->links_.end());
    source_ = nullptr;
}
} // namespace fw
