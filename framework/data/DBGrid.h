// TDBGrid: a read-only grid over a table: one column per chosen field with its title,
// resizable columns, column and row lines, one line per row. It follows the table behind
// its data source: filled when the table opens, emptied when it closes.
#pragma once

#include "framework/Controls.h"
#include "framework/data/DataSource.h"

#include <string>
#include <vector>

namespace fw {

class TDBGrid : public TWinControl {
  public:
    explicit TDBGrid(TComponent* owner);

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* value) { link_.SetDataSource(value); }
    // A column showing that field, about displayWidth characters wide.
    void AddColumn(const std::string& fieldName, int displayWidth);

    // The cells as shown: row by row, one string per column.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const std::vector<std::string>& Row(int index) const { return rows_.at(index); }

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;

  private:
    struct TColumn {
        std::string field;
        int width;
    };
    void StateChanged();
    void ShowRows();

    TDataLink link_;
    std::vector<TColumn> columns_;
    std::vector<std::vector<std::string>> rows_;
    bool filling_ = false;
};

} // namespace fw
