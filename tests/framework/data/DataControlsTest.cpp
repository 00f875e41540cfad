// The data-aware controls on a real table: the list of values and choosing from it,
// the memo that is writable only while a row is edited, the navigator's actions and
// its delete confirmation.
#include "DataTestSupport.h"
#include "framework/Application.h"
#include "framework/data/DataControls.h"
#include "framework/data/DataSource.h"
#include "framework/data/Table.h"
#include "framework/Forms.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using datatest::Keys;
using fw::TNavigateBtn;

class TProbe : public fw::TForm {
  public:
    using TForm::TForm;
};

class DataControlsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::Application().Initialize();
        fw::RegisterDataControlClasses();
        path = dir.File("tags.db");
        datatest::MakeTaglineTable(path, Keys::TagTextAndRecNo);
        datatest::AddTaglines(path, {"pear", "Apple", "fig"});
        form = std::make_unique<TProbe>(nullptr);
        form->Build("object Probe: TForm\n  Width = 400\n  Height = 300\n"
                    "  object List: TDBLookupComboBox\n    Width = 200\n    Height = 21\n"
                    "    DropDownRows = 10\n  end\n"
                    "  object Memo: TDBMemo\n    Top = 30\n    Width = 200\n    Height = 60\n"
                    "  end\n"
                    "  object Nav: TDBNavigator\n    Top = 100\n    Width = 250\n"
                    "    Height = 22\n  end\nend",
                    {});
        list = dynamic_cast<fw::TDBLookupComboBox*>(form->FindComponent("List"));
        memo = dynamic_cast<fw::TDBMemo*>(form->FindComponent("Memo"));
        nav = dynamic_cast<fw::TDBNavigator*>(form->FindComponent("Nav"));
        table = new fw::TTable(form.get());
        table->SetTableName(path);
        table->SetIndexFieldNames("TagText");
        source = new fw::TDataSource(form.get());
        source->SetAutoEdit(false);
        source->SetDataSet(table);
        list->KeyField = "TagText";
        list->SetDataSource(source);
        memo->DataField = "TagText";
        memo->SetDataSource(source);
        nav->SetDataSource(source);
        nav->OnClick = [this](TNavigateBtn b) { clicked.push_back(b); };
        table->Open();
    }
    void TearDown() override { form.reset(); }

    std::string ShownText() const {
        char text[300] = {};
        GetWindowTextA(list->Handle(), text, sizeof text);
        return text;
    }

    // Replaces the memo's text as typing does, with the change notification.
    void Type(const char* text) {
        SendMessageA(memo->Handle(), EM_SETSEL, 0, -1);
        SendMessageA(memo->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    }

    datatest::TempDir dir;
    std::string path;
    fw::TScriptedDialogs dialogs;
    std::unique_ptr<TProbe> form;
    fw::TDBLookupComboBox* list = nullptr;
    fw::TDBMemo* memo = nullptr;
    fw::TDBNavigator* nav = nullptr;
    fw::TTable* table = nullptr;
    fw::TDataSource* source = nullptr;
    std::vector<TNavigateBtn> clicked;
};

TEST_F(DataControlsTest, ListHoldsEveryValueSortedAndFollowsTheCurrentRow) {
    std::vector<std::string> sorted = {"Apple", "fig", "pear"};
    EXPECT_EQ(list->Items(), sorted);
    EXPECT_EQ(SendMessageA(list->Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ShownText(), "Apple");
    table->Last();
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(ShownText(), "pear");
    // Another order leaves the list as it is and still finds the row.
    table->SetIndexFieldNames("Record");
    table->First();
    EXPECT_EQ(list->Items(), sorted);
    EXPECT_EQ(ShownText(), "pear");
}

TEST_F(DataControlsTest, ListKeepsTheIndexOrderWhateverOrderTheTableIsIn) {
    // A row posted while the table runs in Record order, as after a random pick.
    table->SetIndexFieldNames("Record");
    for (const char* text : {"zebra", "\xDC"
                                      "ber-organized"}) {
        table->Append();
        table->FieldByName("TagText").SetAsString(text);
        table->Post();
    }
    // The index sorts by character code: the U with diaeresis after every plain letter.
    const std::vector<std::string> indexOrder = {"Apple", "fig", "pear", "zebra",
                                                 "\xDC"
                                                 "ber-organized"};
    EXPECT_EQ(list->Items(), indexOrder);
    EXPECT_EQ(table->IndexFieldNames(), "Record");
    EXPECT_EQ(memo->Text(), indexOrder.back());
    EXPECT_EQ(ShownText(), indexOrder.back());
    table->First();
    EXPECT_EQ(ShownText(), "pear");
    // The navigator's last row is the list's last entry.
    table->SetIndexFieldNames("TagText");
    nav->BtnClick(TNavigateBtn::nbLast);
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(ShownText(), indexOrder.back());
}

TEST_F(DataControlsTest, ValuesDifferingOnlyInCaseAreEachShownAsThemselves) {
    table->Append();
    table->FieldByName("TagText").SetAsString("apple");
    table->Post();
    ASSERT_EQ(list->Items().size(), 4u);
    EXPECT_EQ(ShownText(), "apple");
    const int lower = list->ItemIndex();
    table->SetIndexFieldNames("TagText");
    table->First(); // "Apple" sorts first in the table's own order
    EXPECT_EQ(ShownText(), "Apple");
    EXPECT_NE(list->ItemIndex(), lower);
    EXPECT_EQ(list->Items()[list->ItemIndex()], "Apple");
}

TEST_F(DataControlsTest, ChoosingAnEntryMovesTheTableEvenInAnotherOrder) {
    table->SetIndexFieldNames("Record");
    list->Choose(1);
    EXPECT_EQ(table->FieldByName("TagText").AsString(), "fig");
    EXPECT_EQ(table->IndexFieldNames(), "TagText");
    EXPECT_EQ(table->State(), fw::TDataSetState::dsBrowse);
    EXPECT_EQ(memo->Text(), "fig");
}

TEST_F(DataControlsTest, ListIsRebuiltAfterRowsChangeAndEmptiedWhenTheTableCloses) {
    table->Append();
    table->FieldByName("TagText").SetAsString("banana");
    table->Post();
    EXPECT_EQ(list->Items(), (std::vector<std::string>{"Apple", "banana", "fig", "pear"}));
    EXPECT_EQ(ShownText(), "banana");
    dialogs.Answer(fw::mrOk);
    nav->BtnClick(TNavigateBtn::nbDelete);
    EXPECT_EQ(list->Items().size(), 3u);
    table->Close();
    EXPECT_TRUE(list->Items().empty());
    EXPECT_EQ(SendMessageA(list->Handle(), CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(memo->Text(), "");
}

// A list is walked when the user first reaches it, not when its table opens: until then
// it holds the current row's value alone. However it is reached, it then lists every row
// in the index's order and its keys and typing act on the whole list.
TEST_F(DataControlsTest, ListIsFilledWhenFirstReachedAndThenActsOnEveryRow) {
    table->Append();
    table->FieldByName("TagText").SetAsString("kiwi");
    table->Post();
    const std::vector<std::string> indexOrder = {"Apple", "fig", "kiwi", "pear"};
    const auto key = [](WPARAM k) {
        return [k](HWND h) {
            SetFocus(h);
            SendMessageA(h, WM_KEYDOWN, k, 0);
        };
    };
    struct TCase {
        const char* how;
        std::function<void(HWND)> reach;
        const char* chosen;
    };
    const TCase cases[] = {
        {"dropped down",
         [](HWND h) {
             SendMessageA(h, CB_SHOWDROPDOWN, TRUE, 0);
             RECT list;
             SendMessageA(h, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
             // Room for ten rows, as the layout asks, and the list's two border lines.
             EXPECT_EQ(list.bottom - list.top, 10 * SendMessageA(h, CB_GETITEMHEIGHT, 0, 0) + 2);
             SendMessageA(h, CB_SHOWDROPDOWN, FALSE, 0);
         },
         "fig"},
        {"down key", key(VK_DOWN), "kiwi"},
        {"home key", key(VK_HOME), "Apple"},
        {"typing",
         [](HWND h) {
             SetFocus(h);
             SendMessageA(h, WM_CHAR, 'p', 0);
         },
         "pear"},
    };
    form->Show();
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.how);
        SetFocus(memo->Handle());
        table->Close();
        table->SetIndexFieldNames("Record");
        table->Open();
        table->SetRecNo(3);
        ASSERT_EQ(ShownText(), "fig");
        EXPECT_EQ(SendMessageA(list->Handle(), CB_GETCOUNT, 0, 0), 1);
        c.reach(list->Handle());
        std::vector<std::string> listed;
        for (int i = 0; i < SendMessageA(list->Handle(), CB_GETCOUNT, 0, 0); ++i) {
            char text[300] = {};
            SendMessageA(list->Handle(), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            listed.push_back(text);
        }
        EXPECT_EQ(listed, indexOrder);
        EXPECT_EQ(ShownText(), c.chosen);
        EXPECT_EQ(table->FieldByName("TagText").AsString(), c.chosen);
    }
}

TEST_F(DataControlsTest, MemoIsWritableOnlyWhileARowIsEditedAndTypingChangesTheRow) {
    EXPECT_EQ(memo->Text(), "Apple");
    EXPECT_TRUE(memo->ReadOnly());
    nav->BtnClick(TNavigateBtn::nbEdit);
    EXPECT_FALSE(memo->ReadOnly());
    Type("Apricot");
    nav->BtnClick(TNavigateBtn::nbPost);
    EXPECT_TRUE(memo->ReadOnly());
    EXPECT_EQ(datatest::ReadTaglines(path), (std::vector<std::string>{"Apricot", "fig", "pear"}));
    // Typing while browsing changes nothing.
    Type("typed");
    EXPECT_EQ(table->FieldByName("TagText").AsString(), "Apricot");
}

TEST_F(DataControlsTest, DeleteAsksFirstAndCancelKeepsTheRowButStillTellsOfTheClick) {
    dialogs.Answer(fw::mrCancel);
    nav->BtnClick(TNavigateBtn::nbDelete);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text, "Delete record?");
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtConfirmation);
    EXPECT_EQ(dialogs.Last().Buttons, fw::TMsgDlgButtons::mbOKCancel);
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_EQ(clicked, std::vector<TNavigateBtn>{TNavigateBtn::nbDelete});
    dialogs.Answer(fw::mrOk);
    nav->BtnClick(TNavigateBtn::nbDelete);
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(clicked.size(), 2u);
    // With no table open there is nothing to do, and the click is still told.
    table->Close();
    nav->BtnClick(TNavigateBtn::nbNext);
    EXPECT_EQ(clicked.back(), TNavigateBtn::nbNext);
}

TEST_F(DataControlsTest, NavigatorButtonsFollowTheTableState) {
    nav->BtnClick(TNavigateBtn::nbLast);
    EXPECT_EQ(memo->Text(), "pear");
    nav->BtnClick(TNavigateBtn::nbPrior);
    EXPECT_EQ(memo->Text(), "fig");
    EXPECT_FALSE(nav->Button(TNavigateBtn::nbPost).Enabled());
    EXPECT_TRUE(nav->Button(TNavigateBtn::nbEdit).Enabled());
    nav->BtnClick(TNavigateBtn::nbInsert);
    EXPECT_TRUE(nav->Button(TNavigateBtn::nbPost).Enabled());
    EXPECT_TRUE(nav->Button(TNavigateBtn::nbCancel).Enabled());
    EXPECT_FALSE(nav->Button(TNavigateBtn::nbNext).Enabled());
    nav->BtnClick(TNavigateBtn::nbCancel);
    EXPECT_EQ(table->RecordCount(), 3);
    // Disabling the navigator greys every button; enabling it again gives back only what
    // browsing allows.
    nav->SetEnabled(false);
    EXPECT_FALSE(nav->Button(TNavigateBtn::nbEdit).Enabled());
    nav->SetEnabled(true);
    EXPECT_TRUE(nav->Button(TNavigateBtn::nbEdit).Enabled());
    EXPECT_FALSE(nav->Button(TNavigateBtn::nbPost).Enabled());
    EXPECT_FALSE(nav->Button(TNavigateBtn::nbCancel).Enabled());
    table->Close();
    for (size_t i = 0; i < fw::TDBNavigator::ButtonCount; ++i)
        EXPECT_FALSE(nav->Button(static_cast<TNavigateBtn>(i)).Enabled()) << i;
}

} // namespace
