// The data-aware controls of the tagline group: the drop-down list of a field's values,
// the memo showing a field of the current row, and the navigator with its ten buttons.
// Each holds a data link to a data source and follows the table behind it.
#pragma once

#include "framework/data/DataSource.h"
#include "framework/GlyphButtons.h"
#include "framework/Memo.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace fw {

// The values of one field over every row, in the order of the table's index over that
// field; choosing one makes its row current (looked up on that index).
class TDBLookupComboBox : public TWinControl {
  public:
    explicit TDBLookupComboBox(TComponent* owner);
    int DropDownRows() const { return dropDownRows_; }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* value) { link_.SetDataSource(value); }
    // The field listed and looked up.
    std::string KeyField;
    // The values in the list, and the one shown (-1 for none). The list is filled when
    // the user first looks at it, or when these are asked.
    const std::vector<std::string>& Items();
    int ItemIndex();
    // What choosing an entry does: the current row becomes the row with that value.
    void Choose(int index);

  protected:
    TCreateParams CreateParams() const override;
    void HandleCreated() override;
    void Notify(WORD code) override;

  private:
    bool InListOrder(const TTable& table) const;
    void DataChanged();
    // The list's rows changed: every such change comes through here. The list is walked
    // at once while the user is at it, else it shows only the current value until looked
    // at, so a large table costs nothing at start.
    void Refill(const std::string& current);
    // Completes the list, unless a row is being edited (a walk would post it).
    void Look();
    // Fills the list from the table, in the order of the index over the key field.
    void Fill();
    void ShowItems();
    void SizeList();
    void Select(int index);
    TField* Field() const;

    int dropDownRows_ = 7;
    bool listSized_ = false;
    TDataLink link_;
    std::vector<std::string> items_;
    int itemIndex_ = -1;
    // Whether items_ holds every row; until then the window holds only current_.
    bool filled_ = true;
    std::string current_;
    // The table the list was filled from; another table, or a reopened one, refills it.
    const TTable* filledFrom_ = nullptr;
    bool stale_ = false;
    bool refilling_ = false;
};

// The current row's value of one field; read-only unless the table is in edit or insert
// state, when typing changes the pending row.
class TDBMemo : public TMemo {
  public:
    explicit TDBMemo(TComponent* owner);
    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* value) { link_.SetDataSource(value); }
    std::string DataField;

  protected:
    void HandleCreated() override;
    void Notify(WORD code) override;

  private:
    void DataChanged();
    void StateChanged();
    TField* Field() const;
    bool Editing() const;

    TDataLink link_;
};

enum class TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};

class TDBNavigator : public TWinControl {
  public:
    static constexpr size_t ButtonCount = 10;
    explicit TDBNavigator(TComponent* owner);
    // A button, to read: which buttons are enabled is the navigator's to decide, from
    // its own enabled state and the table's.
    const TSpeedButton& Button(TNavigateBtn which) const {
        return *buttons_[static_cast<size_t>(which)];
    }
    bool SetProperty(const std::string& name, const TLayoutValue& value,
                     const TEventTable& events) override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* value) { link_.SetDataSource(value); }
    // Does the button's action on an open table (delete asks first), then tells OnClick.
    void BtnClick(TNavigateBtn which);
    // After a button's action.
    std::function<void(TNavigateBtn)> OnClick;

  protected:
    void Realign() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void Act(TTable& table, TNavigateBtn which);
    void StateChanged();

    std::array<TSpeedButton*, ButtonCount> buttons_;
    TDataLink link_;
};

// Lets stored layouts name the three data-aware controls.
void RegisterDataControlClasses();

} // namespace fw
