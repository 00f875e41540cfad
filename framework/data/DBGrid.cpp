// The read-only grid: a report-view list control whose lines are the table's rows, read
// once each time the table opens.
#include "framework/data/DBGrid.h"

#include <commctrl.h>

namespace fw {

namespace {
// Pixels per display character of a column (the dialog font's average width).
constexpr int kCharWidth = 7;
constexpr int kMinColumn = 80; // room for a title such as "Error Level"
} // namespace

TDBGrid::TDBGrid(TComponent* owner) : TWinControl(owner) {
    link_.OnStateChange = [this] { StateChanged(); };
}

TWinControl::TCreateParams TDBGrid::CreateParams() const {
    return {WC_LISTVIEWA, WS_CHILD | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
            WS_EX_CLIENTEDGE};
}

void TDBGrid::AddColumn(const std::string& fieldName, int displayWidth) {
    columns_.push_back({fieldName, displayWidth});
    if (HandleAllocated())
        HandleCreated();
}

void TDBGrid::HandleCreated() {
    ListView_SetExtendedListViewStyle(Handle(), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    while (ListView_DeleteColumn(Handle(), 0)) {
    }
    for (size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH;
        c.cx = std::max(kMinColumn, columns_[i].width * kCharWidth);
        c.pszText = const_cast<char*>(columns_[i].field.c_str());
        SendMessageA(Handle(), LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&c));
    }
    ShowRows();
}

void TDBGrid::StateChanged() {
    // Walking the rows tells the table's sources again once the walk ends; that telling
    // must not start another walk.
    if (filling_)
        return;
    filling_ = true;
    struct TFilled {
        bool& on;
        ~TFilled() { on = false; }
    } filled{filling_};
    rows_.clear();
    TTable* table = link_.DataSet();
    if (table && table->Active() && table->State() == TDataSetState::dsBrowse) {
        TControlsHeld held(*table);
        const int at = table->RecordCount() > 0 ? table->RecNo() : 0;
        for (table->First(); !table->Eof(); table->Next()) {
            std::vector<std::string> row;
            for (const TColumn& c : columns_)
                row.push_back(table->FieldByName(c.field).AsString());
            rows_.push_back(std::move(row));
        }
        if (at > 0)
            table->SetRecNo(at);
    }
    ShowRows();
}

void TDBGrid::ShowRows() {
    if (!HandleAllocated())
        return;
    ListView_DeleteAllItems(Handle());
    for (size_t r = 0; r < rows_.size(); ++r)
        for (size_t c = 0; c < rows_[r].size(); ++c) {
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(c);
            item.pszText = const_cast<char*>(rows_[r][c].c_str());
            SendMessageA(Handle(), c == 0 ? LVM_INSERTITEMA : LVM_SETITEMA, 0,
                         reinterpret_cast<LPARAM>(&item));
        }
}

} // namespace fw
