// The Spell menu's commands on real tables with the real control, its dialog answered by
// script: their messages, the timer and tool tip they hold and give back, a corrected
// tagline posted and found again, a refused post, the empty table never handed over, and
// a walk over the table that the user cancels.
#include "DataTestSupport.h"
#include "RecordingHost.h"
#include "SpellRecordingHost.h"
#include "ScriptedSpeller.h"
#include "framework/Application.h"
#include "framework/data/Field.h"
#include "framework/data/Table.h"
#include "framework/Exception.h"
#include "platform/speller/dll/VSpell.h"
#include "taglinedb/SpellCommands.h"
#include "taglinedb/TaglineDatabase.h"
#include "taglinedb/VCSpeller.h"
#include "tests/framework/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace vspell;

class SpellCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        spelltest::FreshAppData();
        fw::Application().Initialize();
        script = std::make_unique<spelltest::ScriptedSpeller>();
    }
    void Open(const std::vector<std::string>& rows) {
        host.dbFile = dir.File("tags.db");
        datatest::MakeTaglineTable(host.dbFile, datatest::Keys::TagText);
        datatest::AddTaglines(host.dbFile, rows);
        db = std::make_unique<TTaglineDatabase>(nullptr, tableHost, nullptr);
        db->OpenDatabase(db->Table1, host.dbFile);
        table = db->Table1;
        speller = std::make_unique<TVCSpeller>(nullptr);
        spell = std::make_unique<TSpellCommands>(nullptr, *table, host, *speller);
        host.timer.SetEnabled(true);
        dialogs.Clear();
    }
    bool Find(const std::string& tag) {
        table->SetIndexFieldNames("TagText");
        table->SetKey();
        table->FieldByName("TagText").SetAsString(tag);
        return table->GotoKey();
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> t;
        for (const auto& s : dialogs.Shown())
            t.push_back(s.Text);
        return t;
    }

    datatest::TempDir dir;
    fw::TScriptedDialogs dialogs;
    TRecordingHost tableHost;
    fw::TTable* table = nullptr;
    TSpellRecordingHost host{table};
    std::unique_ptr<spelltest::ScriptedSpeller> script;
    std::unique_ptr<TTaglineDatabase> db;
    std::unique_ptr<TVCSpeller> speller;
    std::unique_ptr<TSpellCommands> spell;
};

TEST_F(SpellCommandsTest, TaglineOnAnEmptyTableOnlyExplains) {
    Open({});
    spell->SpellTag();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().Text, "The tagline editor must contain text\r\n"
                                   "and the database must be in either\r\n"
                                   "add mode or edit mode.");
    EXPECT_EQ(dialogs.Last().Kind, fw::TMsgDlgType::mtError);
    EXPECT_TRUE(script->AskedAbout().empty());
    EXPECT_TRUE(host.timer.Enabled());
}

TEST_F(SpellCommandsTest, TaglineInBrowseStateIsEditedPostedAndFoundAgain) {
    Open({"A tset of patience", "Zebras run"});
    ASSERT_TRUE(Find("A tset of patience"));
    host.memo = "A tset of patience";
    ASSERT_EQ(table->State(), fw::TDataSetState::dsBrowse);
    script->Answer(ansChange, "test");
    spell->SpellTag();
    ASSERT_EQ(script->AskedAbout().size(), 1u);
    EXPECT_EQ(script->AskedAbout()[0].title, "Spell Checking Tagline");
    EXPECT_EQ(table->State(), fw::TDataSetState::dsBrowse);
    EXPECT_EQ(host.repaints, 1);
    EXPECT_TRUE(host.timer.Enabled());
    EXPECT_TRUE(Find("A test of patience"));
    EXPECT_FALSE(Find("A tset of patience"));
    EXPECT_EQ(table->RecordCount(), 2);
}

TEST_F(SpellCommandsTest, ARefusedPostEndsTheCommandInEditStateWithTheTimerBack) {
    Open({"the cat", "teh cat"});
    ASSERT_TRUE(Find("teh cat"));
    host.memo = "teh cat";
    script->Answer(ansChange, "the");
    EXPECT_THROW(spell->SpellTag(), fw::Exception);
    EXPECT_EQ(table->State(), fw::TDataSetState::dsEdit);
    EXPECT_TRUE(host.timer.Enabled());
    table->Cancel();
    EXPECT_TRUE(Find("teh cat"));
}

TEST_F(SpellCommandsTest, EntireTableOfNoRowsAsksAndNeverHandsTextOver) {
    Open({});
    dialogs.Answer(fw::mrOk);
    spell->SpellDB();
    EXPECT_EQ(Messages().front(),
              "The database (tags.db) has 0 Records.\r\nThis could take a while. Continue?");
    EXPECT_EQ(dialogs.Shown().front().Buttons, fw::TMsgDlgButtons::mbOKCancel);
    EXPECT_EQ(Messages().back(), "All Done!");
    EXPECT_EQ(speller->CheckText(), "");
    EXPECT_EQ(host.finds, 1);
    EXPECT_EQ(host.tips,
              (std::vector<std::string>{"Quiptide", "Spell Checking the Database", "Quiptide"}));
    EXPECT_TRUE(host.timer.Enabled());
}

TEST_F(SpellCommandsTest, EntireTableCorrectsEveryRowOrStopsAtCancel) {
    Open({"one wrod", "two words"});
    dialogs.Answer(fw::mrCancel);
    spell->SpellDB();
    EXPECT_EQ(Messages(), (std::vector<std::string>{
                              "The database (tags.db) has 2 Records.\r\nThis could take a "
                              "while. Continue?"}));
    EXPECT_TRUE(script->AskedAbout().empty());
    EXPECT_EQ(host.tips.size(), 1u);

    dialogs.Clear();
    dialogs.Answer(fw::mrOk);
    script->Answer(ansChange, "word");
    spell->SpellDB();
    ASSERT_EQ(script->AskedAbout().size(), 1u);
    EXPECT_EQ(script->AskedAbout()[0].title, "Spell Checking Database");
    EXPECT_EQ(Messages().back(), "All Done!");
    EXPECT_TRUE(Find("one word"));
    EXPECT_TRUE(Find("two words"));
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(host.tips.back(), "Quiptide");
    EXPECT_TRUE(host.timer.Enabled());
}

TEST_F(SpellCommandsTest, CancelInTheDialogEndsTheWalkAndLeavesItsRowAsItWas) {
    Open({"a wrod", "b wrod tset", "c wrod"});
    dialogs.Answer(fw::mrOk);
    script->Answer(ansChange, "word");
    script->Answer(ansChange, "word");
    script->Answer(ansCancel);
    spell->SpellDB();
    ASSERT_EQ(script->AskedAbout().size(), 3u) << "the last row is never handed over";
    EXPECT_EQ(script->AskedAbout()[2].word, "tset");
    EXPECT_TRUE(Find("a word")) << "a row before keeps its correction";
    EXPECT_TRUE(Find("b wrod tset")) << "the row cancelled in is left as it was";
    EXPECT_TRUE(Find("c wrod"));
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_EQ(table->State(), fw::TDataSetState::dsBrowse);
    EXPECT_EQ(Messages().size(), 1u) << "no \"All Done!\" for a walk stopped part way";
    EXPECT_EQ(host.finds, 1);
    EXPECT_EQ(host.repaints, 1);
    EXPECT_EQ(host.tips,
              (std::vector<std::string>{"Quiptide", "Spell Checking the Database", "Quiptide"}));
    EXPECT_TRUE(host.timer.Enabled());
}

TEST_F(SpellCommandsTest, SignatureIsCorrectedInPlaceAndEmptyIsNotRefused) {
    Open({"x"});
    host.editor = "Best regrads,\r\nJane";
    host.timer.SetEnabled(false);
    script->Answer(ansChange, "regards");
    spell->SpellSig();
    EXPECT_EQ(host.editor, "Best regards,\r\nJane");
    EXPECT_EQ(script->AskedAbout()[0].title, "Spell Checking Signature");
    host.editor.clear();
    spell->SpellSig();
    EXPECT_EQ(host.editor, "");
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(SpellCommandsTest, AFailingControlRaisesItsOwnDescription) {
    Open({"x"});
    speller->SetStandardDictionary("nowhere.vtd");
    try {
        speller->Check("text");
        FAIL() << "no error";
    } catch (const fw::Exception& e) {
        EXPECT_NE(std::string(e.what()).find("nowhere.vtd"), std::string::npos) << e.what();
    }
}

} // namespace
