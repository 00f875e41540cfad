// What is told of a table's changes: the data sources that show it and the batch move
// that refers to it. An observer detaches itself from the table before it goes.
#pragma once

namespace fw {

class TTable;

class TTableObserver {
  public:
    // Closed, opened, or entered or left edit, insert or key mode.
    virtual void TableStateChanged() {}
    // Another current row, or new values in it.
    virtual void TableDataChanged() {}
    // The table is being destroyed; forget it.
    virtual void TableDestroyed(TTable& table) = 0;

  protected:
    ~TTableObserver() = default;
};

} // namespace fw
