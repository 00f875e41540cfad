// TDBGrid: a read-only grid over a table, painted by itself: a title row whose dividers
// resize the columns, column and row lines, a red indicator column marking the current
// row, and a current cell that the keys (Tab and Shift+Tab across the rows, the arrows,
// Home/End, PgUp/PgDn, Ctrl+Home/End) and clicks move; Ctrl+Tab leaves it. It follows the
// table behind its data source: filled when the table opens, emptied when it closes.
#pragma once

#include "framework/CustomControl.h"
#include "framework/data/DataSource.h"

#include <string>
#include <vector>

namespace fw {

class TDBGrid : public TCustomControl {
  public:
    explicit TDBGrid(TComponent* owner);

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* value) { link_.SetDataSource(value); }
    // A column showing that field, about displayWidth characters wide (its title fits).
    void AddColumn(const std::string& fieldName, int displayWidth);

    // The cells as shown: row by row, one string per column.
    int RowCount() const { return static_cast<int>(rows_.size()); }
    const std::vector<std::string>& Row(int index) const { return rows_.at(index); }
    // The current cell: its column and its row (0 while the grid is empty).
    int Col() const { return col_; }
    int RowIndex() const { return row_; }
    // The indicator column's width and a row's top edge in the client area, as painted.
    int IndicatorWidth() const;
    int RowTop(int index) const;

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
    void Paint(HDC dc) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    struct TColumn {
        std::string field;
        int chars;          // the display width in characters
        int width = 0;      // in pixels, once measured in the grid's font
        bool right = false; // numbers stand to the right
    };
    void StateChanged();
    void Measure();
    void Refresh();
    void UpdateScrollBars();
    int VisibleRows() const;
    int DataWidth() const;
    int ColumnLeft(int col) const; // in the scrolled data area
    void PaintTitles(HDC dc, const RECT& client);
    void PaintCells(HDC dc, const RECT& client);
    void PaintIndicator(HDC dc, const RECT& client);
    bool KeyDown(WPARAM key);
    void MoveTo(int row, int col);
    void ScrollTo(int topRow, int left);
    void Scroll(int bar, WORD request);
    int DividerAt(int x, int y) const; // the column whose right edge is under x, or -1
    void MouseDown(int x, int y);

    TDataLink link_;
    std::vector<TColumn> columns_;
    std::vector<std::vector<std::string>> rows_;
    bool filling_ = false;
    int row_ = 0, col_ = 0;
    int topRow_ = 0, left_ = 0; // the first row shown; pixels scrolled off to the left
    int rowHeight_ = 18, titleHeight_ = 19;
    int dragCol_ = -1, dragFrom_ = 0, dragWidth_ = 0;
    int wheel_ = 0; // wheel turn left over from the last notch
};

} // namespace fw
