// The data-aware controls' windows and their ties to the table behind the data source.
#include "framework/data/DataControls.h"

#include "framework/ClassRegistry.h"
#include "framework/data/DBErrors.h"
#include "framework/Dialogs.h"
#include "framework/Exception.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace fw {

namespace {

bool Editing(TDataSetState state) {
    return state == TDataSetState::dsEdit || state == TDataSetState::dsInsert;
}

// The field's value in the current row; an empty table has no row, and shows nothing.
std::string CurrentValue(TTable& table, const TField& field) {
    if (table.State() == TDataSetState::dsBrowse && table.RecordCount() == 0)
        return std::string();
    return field.AsString();
}

// The table ordered by one index for a scope, then as it was, on the same row. A table
// without that index keeps its order.
class TOrderHeld {
  public:
    TOrderHeld(TTable& table, const std::string& fields)
        : table_(table), fields_(table.IndexFieldNames()), name_(table.IndexName()) {
        if (name_.empty() && fields_ == fields)
            return;
        try {
            table_.SetIndexFieldNames(fields);
            switched_ = true;
        } catch (const EDatabaseError&) {
        }
    }
    // Going back to the order the table was just in fails only on an engine error; the
    // table then stays in the list's order, which is still a whole order of its rows.
    ~TOrderHeld() {
        if (!switched_)
            return;
        try {
            if (name_.empty())
                table_.SetIndexFieldNames(fields_);
            else
                table_.SetIndexName(name_);
        } catch (const EDatabaseError&) {
        }
    }
    TOrderHeld(const TOrderHeld&) = delete;
    TOrderHeld& operator=(const TOrderHeld&) = delete;

  private:
    TTable& table_;
    std::string fields_, name_;
    bool switched_ = false;
};

} // namespace

TDBLookupComboBox::TDBLookupComboBox(TComponent* owner) : TWinControl(owner) {
    // Another table, a reopened one, or a row being edited (whose post may change any
    // value) makes the list stale.
    link_.OnStateChange = [this] {
        if (!link_.Active() || link_.DataSet() != filledFrom_ || Editing(link_.DataSet()->State()))
            stale_ = true;
    };
    link_.OnDataChange = [this] { DataChanged(); };
}

TWinControl::TCreateParams TDBLookupComboBox::CreateParams() const {
    return {"COMBOBOX", WS_CHILD | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
}

void TDBLookupComboBox::HandleCreated() {
    listSized_ = false;
    ShowItems();
}

// The window's height includes the dropped-down list: rows of items plus borders. Set as
// the list first drops down (the list takes its size after that notice), as resizing the
// box costs Wine some twenty-five round trips to its server at every start.
void TDBLookupComboBox::SizeList() {
    if (listSized_)
        return;
    listSized_ = true;
    int item = static_cast<int>(SendMessageA(Handle(), CB_GETITEMHEIGHT, 0, 0));
    RECT r;
    GetWindowRect(Handle(), &r);
    int closed = r.bottom - r.top;
    SetWindowPos(Handle(), nullptr, 0, 0, Width(), closed + item * dropDownRows_ + 2,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TDBLookupComboBox::SetProperty(const std::string& name, const TLayoutValue& v,
                                    const TEventTable& e) {
    if (name != "DropDownRows")
        return TWinControl::SetProperty(name, v, e);
    dropDownRows_ = v.AsInteger();
    return true;
}

TField* TDBLookupComboBox::Field() const {
    return link_.Active() ? link_.DataSet()->FindField(KeyField) : nullptr;
}

bool TDBLookupComboBox::InListOrder(const TTable& table) const {
    return table.IndexName().empty() && table.IndexFieldNames() == KeyField;
}

// The list is rebuilt when it went stale, or when the current row is not where the list
// has it (a row added or deleted). In the list's own order the row's place is its
// position; in another (a random pick's) its value is looked for.
void TDBLookupComboBox::DataChanged() {
    if (refilling_)
        return;
    TField* field = Field();
    if (!field) {
        items_.clear();
        filled_ = true;
        filledFrom_ = nullptr;
        stale_ = false;
        ShowItems();
        return;
    }
    // Key mode holds a search key, and an edited row would be posted by a walk.
    TTable& table = *link_.DataSet();
    if (Editing(table.State()) || table.State() == TDataSetState::dsSetKey)
        return;
    const std::string value = CurrentValue(table, *field);
    if (!filled_ && !stale_ && link_.DataSet() == filledFrom_) {
        current_ = value;
        ShowItems();
        return;
    }
    const auto listed = [&](int at) {
        return at >= 0 && at < static_cast<int>(items_.size()) && items_[at] == value;
    };
    const bool inOrder = InListOrder(table);
    const auto place = [&] {
        if (inOrder)
            return table.RecNo() - 1;
        return static_cast<int>(std::find(items_.begin(), items_.end(), value) - items_.begin());
    };
    int at = place();
    if (!filled_ || stale_ || static_cast<int>(items_.size()) != table.RecordCount() ||
        !listed(at)) {
        Refill(value);
        if (!filled_)
            return;
        at = place();
    }
    Select(value.empty() || !listed(at) ? -1 : at);
}

void TDBLookupComboBox::Refill(const std::string& current) {
    filledFrom_ = link_.DataSet();
    stale_ = false;
    if (HandleAllocated() && GetFocus() == Handle()) {
        Fill();
        return;
    }
    filled_ = false;
    std::vector<std::string>().swap(items_);
    current_ = current;
    ShowItems();
}

void TDBLookupComboBox::Look() {
    if (filled_ || !Field())
        return;
    const TDataSetState state = link_.DataSet()->State();
    if (Editing(state) || state == TDataSetState::dsSetKey)
        return;
    Fill();
    DataChanged(); // shows the current row in the whole list
}

const std::vector<std::string>& TDBLookupComboBox::Items() {
    Look();
    return items_;
}

int TDBLookupComboBox::ItemIndex() {
    Look();
    return itemIndex_;
}

// Every value in the order of the index over the key field, whatever order the table is
// in; the table is left on its row and in its order.
void TDBLookupComboBox::Fill() {
    TTable& table = *link_.DataSet();
    std::vector<std::string> values;
    values.reserve(static_cast<size_t>(table.RecordCount()));
    {
        // The walk does not show in the controls, nor in this list.
        struct TWalk {
            TTable& table;
            bool& refilling;
            TWalk(TTable& t, bool& r) : table(t), refilling(r) {
                refilling = true;
                table.DisableControls();
            }
            ~TWalk() {
                table.EnableControls();
                refilling = false;
            }
        } walk(table, refilling_);
        TOrderHeld order(table, KeyField);
        const int at = table.RecNo();
        TField& field = table.FieldByName(KeyField);
        for (table.First(); !table.Eof(); table.Next())
            values.push_back(field.AsString());
        if (at > 0)
            table.SetRecNo(at);
    }
    items_ = std::move(values);
    filled_ = true;
    current_.clear();
    filledFrom_ = &table;
    stale_ = false;
    ShowItems();
}

void TDBLookupComboBox::ShowItems() {
    itemIndex_ = -1;
    if (!HandleAllocated())
        return;
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    if (filled_) {
        SendMessageA(Handle(), CB_INITSTORAGE, items_.size(), items_.size() * 32);
        for (const std::string& s : items_)
            SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    } else if (!current_.empty()) {
        // Until the list is looked at, its one entry is the current row's value.
        SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(current_.c_str()));
        SendMessageA(Handle(), CB_SETCURSEL, 0, 0);
    }
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TDBLookupComboBox::Select(int index) {
    itemIndex_ = index;
    if (HandleAllocated())
        SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void TDBLookupComboBox::Notify(WORD code) {
    // Keys, typing and the wheel reach a list with the focus, so its focus fills it.
    if (code == CBN_DROPDOWN)
        SizeList();
    if (code == CBN_SETFOCUS || code == CBN_DROPDOWN)
        Look();
    else if (code == CBN_SELCHANGE)
        Choose(static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)));
}

void TDBLookupComboBox::Choose(int index) {
    Look();
    if (!Field() || index < 0 || index >= static_cast<int>(items_.size()))
        return;
    TTable& table = *link_.DataSet();
    // The lookup needs the index over the listed field.
    if (table.IndexFieldNames() != KeyField)
        table.SetIndexFieldNames(KeyField);
    table.SetKey();
    table.FieldByName(KeyField).SetAsString(items_[index]);
    if (!table.GotoKey())
        table.CheckBrowseMode();
    DataChanged();
}

TDBMemo::TDBMemo(TComponent* owner) : TMemo(owner) {
    link_.OnStateChange = [this] { StateChanged(); };
    link_.OnDataChange = [this] { DataChanged(); };
    SetReadOnly(true);
}

TField* TDBMemo::Field() const {
    return link_.Active() ? link_.DataSet()->FindField(DataField) : nullptr;
}

bool TDBMemo::Editing() const {
    return link_.Active() && fw::Editing(link_.DataSet()->State());
}

void TDBMemo::HandleCreated() {
    TMemo::HandleCreated();
    StateChanged();
    DataChanged();
}

void TDBMemo::StateChanged() {
    SetReadOnly(!Editing());
    TField* field = Field();
    if (HandleAllocated() && field && field->Size() > 0)
        SendMessageA(TWinControl::Handle(), EM_LIMITTEXT, static_cast<WPARAM>(field->Size()), 0);
}

void TDBMemo::DataChanged() {
    // Key mode holds the search key, not the row.
    if (link_.Active() && link_.DataSet()->State() == TDataSetState::dsSetKey)
        return;
    TField* field = Field();
    std::string value = field ? CurrentValue(*link_.DataSet(), *field) : std::string();
    if (value == Text())
        return;
    SetText(value);
}

void TDBMemo::Notify(WORD code) {
    if (code != EN_CHANGE || Writing() || !Editing())
        return;
    if (TField* field = Field())
        field->SetAsString(Text());
}

TDBNavigator::TDBNavigator(TComponent* owner) : TWinControl(owner) {
    static const char* const glyphs[ButtonCount] = {"NAVFIRST",  "NAVPRIOR",  "NAVNEXT", "NAVLAST",
                                                    "NAVINSERT", "NAVDELETE", "NAVEDIT", "NAVPOST",
                                                    "NAVCANCEL", "NAVREFRESH"};
    for (size_t i = 0; i < ButtonCount; ++i) {
        buttons_[i] = new TSpeedButton(this);
        buttons_[i]->SetGlyph(glyphs[i]);
        buttons_[i]->SetParent(this);
        auto which = static_cast<TNavigateBtn>(i);
        buttons_[i]->OnClick = [this, which](TComponent*) { BtnClick(which); };
    }
    link_.OnStateChange = [this] { StateChanged(); };
}

void TDBNavigator::Realign() {
    // The buttons share the width equally, the last takes what is left over.
    int w = Width() / static_cast<int>(ButtonCount);
    for (size_t i = 0; i < ButtonCount; ++i) {
        int left = static_cast<int>(i) * w;
        int width = i + 1 == ButtonCount ? Width() - left : w;
        buttons_[i]->SetBounds(left, 0, width, Height());
    }
}

bool TDBNavigator::SetProperty(const std::string& name, const TLayoutValue& v,
                               const TEventTable& e) {
    if (name != "Hints")
        return TWinControl::SetProperty(name, v, e);
    const auto& hints = v.Items();
    if (hints.size() != ButtonCount)
        throw Exception("The navigator needs one hint per button");
    for (size_t i = 0; i < ButtonCount; ++i)
        buttons_[i]->SetHint(hints[i].AsString());
    return true;
}

// While a row is edited only posting or cancelling it makes sense; without an open
// table, or while the navigator itself is disabled, nothing does.
void TDBNavigator::StateChanged() {
    bool active = link_.Active() && Enabled();
    bool editing = active && fw::Editing(link_.DataSet()->State());
    for (size_t i = 0; i < ButtonCount; ++i) {
        auto which = static_cast<TNavigateBtn>(i);
        bool commits = which == TNavigateBtn::nbPost || which == TNavigateBtn::nbCancel;
        buttons_[i]->SetEnabled(active && commits == editing);
    }
}

LRESULT TDBNavigator::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_ENABLE)
        StateChanged();
    return TWinControl::WndProc(msg, wParam, lParam);
}

void TDBNavigator::BtnClick(TNavigateBtn which) {
    if (link_.Active())
        Act(*link_.DataSet(), which);
    // Told of every click, also when there was nothing to do or the user said no.
    if (OnClick)
        OnClick(which);
}

void TDBNavigator::Act(TTable& table, TNavigateBtn which) {
    switch (which) {
    case TNavigateBtn::nbFirst:
        table.First();
        break;
    case TNavigateBtn::nbPrior:
        table.Prior();
        break;
    case TNavigateBtn::nbNext:
        table.Next();
        break;
    case TNavigateBtn::nbLast:
        table.Last();
        break;
    case TNavigateBtn::nbInsert:
        table.Insert();
        break;
    case TNavigateBtn::nbDelete:
        if (table.RecordCount() == 0 && !fw::Editing(table.State()))
            return;
        if (MessageDlg("Delete record?", TMsgDlgType::mtConfirmation, TMsgDlgButtons::mbOKCancel) !=
            mrOk)
            return;
        table.Delete();
        break;
    case TNavigateBtn::nbEdit:
        table.Edit();
        break;
    case TNavigateBtn::nbPost:
        if (!fw::Editing(table.State()))
            return;
        table.Post();
        break;
    case TNavigateBtn::nbCancel:
        if (!fw::Editing(table.State()))
            return;
        table.Cancel();
        break;
    case TNavigateBtn::nbRefresh:
        table.Refresh();
        break;
    }
}

void RegisterDataControlClasses() {
    RegisterComponentClass<TDBLookupComboBox>("TDBLookupComboBox");
    RegisterComponentClass<TDBMemo>("TDBMemo");
    RegisterComponentClass<TDBNavigator>("TDBNavigator");
}

} // namespace fw
