#include "DataTestSupport.h"

#include "framework/data/DataSource.h"
#include "framework/data/Table.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

using datatest::Keys;
using fw::TDataSetState;

// A control's view of its data link: what it was told, and the state it saw then.
struct Watcher {
    explicit Watcher(fw::TDataSource* source) {
        link.OnStateChange = [this] {
            ++states;
            seen = link.DataSet() ? link.DataSet()->State() : TDataSetState::dsInactive;
        };
        link.OnDataChange = [this] { ++data; };
        link.SetDataSource(source);
    }
    void Reset() { states = data = 0; }
    fw::TDataLink link;
    int states = 0;
    int data = 0;
    TDataSetState seen = TDataSetState::dsInactive;
};

TEST(DataSource, LinksHearOfStateAndRowChangesUntilEitherSideGoes) {
    datatest::TempDir dir;
    std::string path = dir.File("tags.db");
    datatest::MakeTaglineTable(path, Keys::TagText);
    datatest::AddTaglines(path, {"a", "b"});

    auto table = std::make_unique<fw::TTable>(nullptr);
    table->SetTableName(path);
    fw::TDataSource source(nullptr);
    source.SetAutoEdit(false);
    Watcher memo(&source), navigator(&source);
    EXPECT_FALSE(memo.link.Active());
    source.SetDataSet(table.get());
    EXPECT_EQ(memo.link.DataSet(), table.get());

    memo.Reset();
    table->Open();
    EXPECT_TRUE(memo.link.Active());
    EXPECT_EQ(memo.states, 1);
    EXPECT_EQ(memo.seen, TDataSetState::dsBrowse);

    memo.Reset();
    table->Next();
    EXPECT_EQ(memo.states, 0);
    EXPECT_EQ(memo.data, 1);
    table->Next(); // already on the last row: nothing changed
    EXPECT_EQ(memo.data, 1);

    memo.Reset();
    table->Edit();
    EXPECT_EQ(memo.seen, TDataSetState::dsEdit);
    table->FieldByName("TagText").SetAsString("c");
    EXPECT_EQ(memo.data, 2);
    table->Post();
    EXPECT_EQ(memo.seen, TDataSetState::dsBrowse);
    EXPECT_EQ(memo.states, 2);

    // A walk with the controls disabled is told once, at its end.
    memo.Reset();
    table->DisableControls();
    table->DisableControls();
    for (table->First(); !table->Eof(); table->Next())
        ;
    table->EnableControls();
    EXPECT_EQ(memo.states + memo.data, 0);
    table->EnableControls();
    EXPECT_EQ(memo.states, 1);
    EXPECT_EQ(memo.data, 1);

    // A control that goes is no longer told; the others still are.
    {
        Watcher lookup(&source);
        EXPECT_EQ(lookup.states, 1); // told on binding
    }
    navigator.Reset();
    table->First();
    EXPECT_EQ(navigator.data, 1);

    memo.Reset();
    table.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(source.State(), TDataSetState::dsInactive);
    EXPECT_EQ(memo.states, 1);
    EXPECT_FALSE(memo.link.Active());
}

TEST(DataSource, ALinkOutlivesItsSource) {
    Watcher memo(nullptr);
    {
        fw::TDataSource source(nullptr);
        memo.link.SetDataSource(&source);
        EXPECT_EQ(memo.link.DataSource(), &source);
    }
    EXPECT_EQ(memo.link.DataSource(), nullptr);
    EXPECT_EQ(memo.link.DataSet(), nullptr);
}

} // namespace
