// The read-only grid: the table's rows read once each time the table opens, painted
// through an off-screen bitmap so that scrolling and moving the current cell do not
// flicker; keys, clicks, the wheel, the scroll bars and the title dividers.
#include "framework/data/DBGrid.h"

#include "framework/Application.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace fw {

namespace {

constexpr int kIndicator = 12; // the fixed column's width
constexpr int kPad = 3;        // text's distance from a cell's sides
constexpr int kMinWidth = 8;   // a column dragged narrower stays this wide
constexpr int kGrip = 2;       // pixels either side of a title divider that catch the mouse
constexpr int kLineStep = 16;  // a horizontal scroll arrow's step, in pixels
constexpr int kWheelRows = 3;  // rows per wheel notch
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kLine = RGB(192, 192, 192);

void Fill(HDC dc, const RECT& r, COLORREF color) {
    SetDCBrushColor(dc, color);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// The cell's right and bottom lines.
void CellLines(HDC dc, const RECT& r, COLORREF color) {
    Fill(dc, {r.right - 1, r.top, r.right, r.bottom}, color);
    Fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, color);
}

bool Numeric(TFieldType type) {
    switch (type) {
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftAutoInc:
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return true;
    default:
        return false;
    }
}

// A bitmap the size of the client area, painted and then copied to the window at once.
class TOffscreen {
  public:
    TOffscreen(HDC target, int width, int height)
        : dc_(CreateCompatibleDC(target)), bitmap_(CreateCompatibleBitmap(target, width, height)),
          old_(SelectObject(dc_, bitmap_)) {}
    ~TOffscreen() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TOffscreen(const TOffscreen&) = delete;
    TOffscreen& operator=(const TOffscreen&) = delete;
    HDC Dc() const { return dc_; }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

// Drawing limited to a rectangle until the end of the scope.
class TClip {
  public:
    TClip(HDC dc, const RECT& r) : dc_(dc), saved_(SaveDC(dc)) {
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
    ~TClip() { RestoreDC(dc_, saved_); }
    TClip(const TClip&) = delete;
    TClip& operator=(const TClip&) = delete;

  private:
    HDC dc_;
    int saved_;
};

} // namespace

TDBGrid::TDBGrid(TComponent* owner) : TCustomControl(owner) {
    SetColor(GetSysColor(COLOR_WINDOW));
    link_.OnStateChange = [this] { StateChanged(); };
}

TWinControl::TCreateParams TDBGrid::CreateParams() const {
    return {nullptr, WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_HSCROLL | WS_VSCROLL,
            WS_EX_CLIENTEDGE};
}

void TDBGrid::AddColumn(const std::string& fieldName, int displayWidth) {
    columns_.push_back({fieldName, displayWidth});
    Measure();
    Refresh();
}

void TDBGrid::HandleCreated() {
    Measure();
    Refresh();
}

int TDBGrid::IndicatorWidth() const {
    return kIndicator;
}

int TDBGrid::RowTop(int index) const {
    return titleHeight_ + (index - topRow_) * rowHeight_;
}

void TDBGrid::Measure() {
    if (!HandleAllocated())
        return;
    HDC dc = GetDC(Handle());
    HGDIOBJ oldFont = SelectObject(dc, FontHandle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    rowHeight_ = tm.tmHeight + 3;
    titleHeight_ = tm.tmHeight + 4;
    for (TColumn& c : columns_) {
        SIZE title{};
        GetTextExtentPoint32A(dc, c.field.c_str(), static_cast<int>(c.field.size()), &title);
        c.width = std::max<int>(c.chars * tm.tmAveCharWidth, title.cx) + 2 * kPad + 1;
    }
    SelectObject(dc, oldFont);
    ReleaseDC(Handle(), dc);
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
        for (TColumn& c : columns_)
            c.right = Numeric(table->FieldByName(c.field).DataType());
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
    Refresh();
}

void TDBGrid::Refresh() {
    MoveTo(row_, col_);
}

int TDBGrid::VisibleRows() const {
    const RECT r = ClientRect();
    return std::max(1, static_cast<int>(r.bottom - titleHeight_) / rowHeight_);
}

int TDBGrid::DataWidth() const {
    return ColumnLeft(static_cast<int>(columns_.size()));
}

int TDBGrid::ColumnLeft(int col) const {
    int x = 0;
    for (int c = 0; c < col; ++c)
        x += columns_[c].width;
    return x;
}

void TDBGrid::MoveTo(int row, int col) {
    row_ = std::clamp(row, 0, std::max(0, RowCount() - 1));
    col_ = std::clamp(col, 0, std::max(0, static_cast<int>(columns_.size()) - 1));
    // The current cell comes into view, its left edge first when it is wider than the view.
    int top = std::clamp(topRow_, row_ - VisibleRows() + 1, row_);
    int left = left_;
    if (!columns_.empty()) {
        const int x = ColumnLeft(col_), view = ClientRect().right - kIndicator;
        left = std::min(x, std::max(left, x + columns_[col_].width - view));
    }
    ScrollTo(top, left);
}

void TDBGrid::ScrollTo(int topRow, int left) {
    topRow_ = std::clamp(topRow, 0, std::max(0, RowCount() - VisibleRows()));
    const int view = ClientRect().right - kIndicator;
    left_ = std::clamp(left, 0, std::max(0, DataWidth() - view));
    UpdateScrollBars();
    Invalidate();
}

void TDBGrid::UpdateScrollBars() {
    if (!HandleAllocated())
        return;
    // Always shown, disabled when all is in view: the client area keeps its size.
    SCROLLINFO v{};
    v.cbSize = sizeof v;
    v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    v.nMax = std::max(0, RowCount() - 1);
    v.nPage = VisibleRows();
    v.nPos = topRow_;
    SetScrollInfo(Handle(), SB_VERT, &v, TRUE);
    SCROLLINFO h = v;
    h.nMax = std::max(0, DataWidth() - 1);
    h.nPage = std::max(0, static_cast<int>(ClientRect().right) - kIndicator);
    h.nPos = left_;
    SetScrollInfo(Handle(), SB_HORZ, &h, TRUE);
}

void TDBGrid::Scroll(int bar, WORD request) {
    const bool vertical = bar == SB_VERT;
    const int step = vertical ? 1 : kLineStep;
    const int page = vertical ? VisibleRows() : ClientRect().right - kIndicator;
    int pos = vertical ? topRow_ : left_;
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(Handle(), bar, &si);
    switch (request) {
    case SB_LINEUP:
        pos -= step;
        break;
    case SB_LINEDOWN:
        pos += step;
        break;
    case SB_PAGEUP:
        pos -= page;
        break;
    case SB_PAGEDOWN:
        pos += page;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = si.nTrackPos;
        break;
    case SB_TOP:
        pos = 0;
        break;
    case SB_BOTTOM:
        pos = vertical ? RowCount() : DataWidth();
        break;
    default:
        return;
    }
    if (vertical)
        ScrollTo(pos, left_);
    else
        ScrollTo(topRow_, pos);
}

bool TDBGrid::KeyDown(WPARAM key) {
    const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    const int lastCol = static_cast<int>(columns_.size()) - 1, lastRow = RowCount() - 1;
    switch (key) {
    case VK_TAB:
        if (ctrl)
            return false;
        // Across the row, then on to the next row's first cell (back for Shift+Tab); the
        // grid's first and last cells are the ends.
        if (!shift && col_ < lastCol)
            MoveTo(row_, col_ + 1);
        else if (!shift && row_ < lastRow)
            MoveTo(row_ + 1, 0);
        else if (shift && col_ > 0)
            MoveTo(row_, col_ - 1);
        else if (shift && row_ > 0)
            MoveTo(row_ - 1, lastCol);
        return true;
    case VK_LEFT:
        MoveTo(row_, col_ - 1);
        return true;
    case VK_RIGHT:
        MoveTo(row_, col_ + 1);
        return true;
    case VK_UP:
        MoveTo(row_ - 1, col_);
        return true;
    case VK_DOWN:
        MoveTo(row_ + 1, col_);
        return true;
    case VK_PRIOR:
        MoveTo(row_ - VisibleRows(), col_);
        return true;
    case VK_NEXT:
        MoveTo(row_ + VisibleRows(), col_);
        return true;
    case VK_HOME:
        MoveTo(ctrl ? 0 : row_, 0);
        return true;
    case VK_END:
        MoveTo(ctrl ? lastRow : row_, lastCol);
        return true;
    default:
        return false;
    }
}

int TDBGrid::DividerAt(int x, int y) const {
    if (y < 0 || y >= titleHeight_)
        return -1;
    for (int c = static_cast<int>(columns_.size()) - 1; c >= 0; --c) {
        const int edge = kIndicator + ColumnLeft(c + 1) - left_;
        if (edge > kIndicator && std::abs(x - edge) <= kGrip)
            return c;
    }
    return -1;
}

void TDBGrid::MouseDown(int x, int y) {
    if (const int divider = DividerAt(x, y); divider >= 0) {
        dragCol_ = divider;
        dragFrom_ = x;
        dragWidth_ = columns_[divider].width;
        SetCapture(Handle());
        return;
    }
    if (x < kIndicator || y < titleHeight_)
        return;
    const int row = topRow_ + (y - titleHeight_) / rowHeight_;
    for (int c = 0, at = x - kIndicator + left_; c < static_cast<int>(columns_.size()); ++c)
        if (at < ColumnLeft(c + 1)) {
            if (row < RowCount())
                MoveTo(row, c);
            return;
        }
}

LRESULT TDBGrid::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_GETDLGCODE:
        // Tab and the arrows move the current cell; Ctrl+Tab leaves the grid, and Return
        // and Escape stay the dialog's.
        return GetKeyState(VK_CONTROL) < 0 ? DLGC_WANTARROWS : DLGC_WANTTAB | DLGC_WANTARROWS;
    case WM_KEYDOWN:
        if (KeyDown(wParam))
            return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        break;
    case WM_SIZE:
        ScrollTo(topRow_, left_);
        break;
    case WM_VSCROLL:
    case WM_HSCROLL:
        Scroll(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL: {
        wheel_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int notches = wheel_ / WHEEL_DELTA;
        wheel_ %= WHEEL_DELTA;
        ScrollTo(topRow_ - notches * kWheelRows, left_);
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus();
        MouseDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_MOUSEMOVE:
        if (dragCol_ >= 0) {
            columns_[dragCol_].width =
                std::max(kMinWidth, dragWidth_ + GET_X_LPARAM(lParam) - dragFrom_);
            ScrollTo(topRow_, left_);
        }
        return 0;
    case WM_LBUTTONUP:
        if (dragCol_ >= 0) {
            dragCol_ = -1;
            ReleaseCapture();
        }
        return 0;
    case WM_CAPTURECHANGED:
        dragCol_ = -1;
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && !Application().Waiting()) {
            POINT p;
            GetCursorPos(&p);
            ScreenToClient(Handle(), &p);
            if (dragCol_ >= 0 || DividerAt(p.x, p.y) >= 0) {
                SetCursor(LoadCursorA(nullptr, IDC_SIZEWE));
                return TRUE;
            }
        }
        break;
    }
    return TCustomControl::WndProc(msg, wParam, lParam);
}

void TDBGrid::Paint(HDC target) {
    const RECT client = ClientRect();
    TOffscreen off(target, client.right, client.bottom);
    HDC dc = off.Dc();
    Fill(dc, client, Color());
    HGDIOBJ oldFont = SelectObject(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    PaintTitles(dc, client);
    PaintCells(dc, client);
    PaintIndicator(dc, client);
    SelectObject(dc, oldFont);
    BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

void TDBGrid::PaintTitles(HDC dc, const RECT& client) {
    TClip clip(dc, {kIndicator, 0, client.right, titleHeight_});
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (size_t c = 0; c < columns_.size(); ++c) {
        const int x = kIndicator + ColumnLeft(static_cast<int>(c)) - left_;
        RECT r{x, 0, x + columns_[c].width, titleHeight_};
        if (r.right < kIndicator || r.left > client.right)
            continue;
        Fill(dc, r, GetSysColor(COLOR_BTNFACE));
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
        RECT text{r.left + kPad, r.top, r.right - kPad, r.bottom};
        DrawTextA(dc, columns_[c].field.c_str(), -1, &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
}

void TDBGrid::PaintCells(HDC dc, const RECT& client) {
    TClip clip(dc, {kIndicator, titleHeight_, client.right, client.bottom});
    const bool focused = GetFocus() == Handle();
    for (int row = topRow_; row < RowCount() && RowTop(row) < client.bottom; ++row)
        for (size_t c = 0; c < columns_.size(); ++c) {
            const int x = kIndicator + ColumnLeft(static_cast<int>(c)) - left_;
            const RECT r{x, RowTop(row), x + columns_[c].width, RowTop(row) + rowHeight_};
            if (r.right < kIndicator || r.left > client.right)
                continue;
            const bool current = row == row_ && static_cast<int>(c) == col_;
            RECT inner{r.left, r.top, r.right - 1, r.bottom - 1};
            if (current)
                Fill(dc, inner, GetSysColor(COLOR_HIGHLIGHT));
            SetTextColor(dc, GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            RECT text{inner.left + kPad, inner.top, inner.right - kPad, inner.bottom};
            DrawTextA(dc, rows_[row][c].c_str(), -1, &text,
                      DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                          (columns_[c].right ? DT_RIGHT : DT_LEFT));
            CellLines(dc, r, kLine);
            if (current && focused)
                DrawFocusRect(dc, &inner);
        }
}

void TDBGrid::PaintIndicator(HDC dc, const RECT& client) {
    RECT corner{0, 0, kIndicator, titleHeight_};
    Fill(dc, corner, kRed);
    DrawEdge(dc, &corner, BDR_RAISEDINNER, BF_RECT);
    for (int row = topRow_; row < RowCount() && RowTop(row) < client.bottom; ++row) {
        const RECT r{0, RowTop(row), kIndicator, RowTop(row) + rowHeight_};
        Fill(dc, r, kRed);
        CellLines(dc, r, RGB(128, 0, 0));
        if (row != row_)
            continue;
        // The current row's mark: a small black triangle pointing at the row.
        const int mid = (r.top + r.bottom) / 2;
        const POINT mark[] = {{3, mid - 4}, {3, mid + 4}, {7, mid}};
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
        Polygon(dc, mark, 3);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
    }
}

} // namespace fw
