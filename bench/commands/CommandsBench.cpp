// The table maintenance commands as the menu runs them, under Wine, timed for
// bench/commands/run.sh, which times the peers (SQLite's .import, cp) in the same run:
//   commands_bench import FILE   Import Text File of FILE into an empty keyed tagline table
//   commands_bench saveas FILE   Save DB As of the table that importing FILE gives
//   commands_bench spelldb FILE  Spell check entire table on the table that importing FILE
//                                gives, against reading each of its rows once
//   commands_bench find FILE     Find Tagline on that table, for the one tagline that holds
//                                "number 99999.", from the row after it: the search goes
//                                round the whole table; writes the table's taglines to
//                                export.txt for grep
// Each prints `<name>_seconds=<median of five runs>`.
#include "RecordingHost.h"
#include "ScriptedSpeller.h"
#include "SpellRecordingHost.h"
#include "framework/Application.h"
#include "framework/Paths.h"
#include "framework/Process.h"
#include "framework/TextFiles.h"
#include "framework/data/Table.h"
#include "taglinedb/SpellCommands.h"
#include "taglinedb/TableMaintenance.h"
#include "taglinedb/TaglineFind.h"
#include "taglinedb/TaglineDatabase.h"
#include "taglinedb/VCSpeller.h"
#include "tests/framework/ScriptedDialogs.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

double MedianSeconds(const std::function<void()>& prepare, const std::function<void()>& work) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        work();
        runs.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: commands_bench import|saveas|spelldb|find TEXTFILE\n");
        return 2;
    }
    const std::string mode = argv[1], textFile = argv[2];
    const std::string dir = fw::ExtractFilePath(fw::ProgramFileName());
    const std::string table = dir + "tags.db", copy = dir + "copy.db";
    fw::Application().Initialize();
    // No box may wait for a user; the boxes the commands show are answered or counted.
    fw::TScriptedDialogs dialogs;
    TRecordingHost host;
    host.folder = dir;
    TTaglineDatabase db(nullptr, host, nullptr);
    TTableMaintenance maintenance(nullptr, db, host);

    auto emptyTable = [&] {
        db.Table1->Close();
        db.CreateNewTable(db.Table1, table);
        db.OpenDatabase(db.Table1, table);
    };
    auto import = [&] {
        dialogs.Answer(fw::mrOk);
        dialogs.Answer(fw::mrOk, textFile);
        maintenance.ImportTextFile();
    };
    if (mode == "import") {
        std::printf("import_cmd_seconds=%.4f\n", MedianSeconds(emptyTable, import));
    } else if (mode == "saveas") {
        emptyTable();
        import();
        std::printf("rows=%d\n", db.Table1->RecordCount());
        const double seconds = MedianSeconds(
            [&] {
                db.Table2->SetTableName(copy);
                if (fw::FileExists(copy))
                    db.Table2->DeleteTable();
            },
            [&] {
                dialogs.Answer(fw::mrOk, copy);
                maintenance.SaveDBAs();
            });
        std::printf("save_as_seconds=%.4f\n", seconds);
    } else if (mode == "spelldb") {
        emptyTable();
        import();
        std::printf("rows=%d\n", db.Table1->RecordCount());
        const double reading =
            MedianSeconds([] {},
                          [&] {
                              size_t bytes = 0;
                              for (db.Table1->First(); !db.Table1->Eof(); db.Table1->Next())
                                  bytes += db.Table1->FieldByName("TagText").AsString().size();
                              if (bytes == 0)
                                  std::printf("unexpected: no text read\n");
                          });
        std::printf("read_rows_seconds=%.4f\n", reading);
        // The control's dialog would wait for a user: any word it asks about is answered
        // with Cancel by the script and reported below.
        spelltest::ScriptedSpeller script;
        fw::TTable* table = db.Table1;
        TSpellRecordingHost spellHost{table};
        spellHost.dbFile = table->TableName();
        TVCSpeller speller(nullptr);
        TSpellCommands spell(nullptr, *table, spellHost, speller);
        const double seconds = MedianSeconds([] {},
                                             [&] {
                                                 dialogs.Answer(fw::mrOk);
                                                 spell.SpellDB();
                                             });
        std::printf("spell_db_seconds=%.4f\n", seconds);
        for (const auto& asked : script.AskedAbout())
            std::printf("unexpected misspelling: %s\n", asked.word.c_str());
    } else if (mode == "find") {
        emptyTable();
        import();
        std::string lines;
        for (db.Table1->First(); !db.Table1->Eof(); db.Table1->Next())
            lines += db.Table1->FieldByName("TagText").AsString() + "\r\n";
        fw::WriteWholeFile(dir + "export.txt", lines);
        struct TFindHost : TTaglineFindHost {
            fw::TTimer timer{nullptr};
            fw::TTimer& CyclingTimer() override { return timer; }
            void StopTimer() override {}
            void RebuildDraft() override {}
        } findHost;
        TTaglineFind finder(*db.Table1, findHost);
        dialogs.Answer(fw::mrOk, "number 99999.");
        finder.Find();
        const std::string found = db.Table1->FieldByName("TagText").AsString();
        const double seconds = MedianSeconds(
            [&] {
                // The engine keeps the matches of the last text searched in an index's
                // order; a search for another one makes the timed search pass again.
                db.Table1->SearchText("TagText", "a text in no tagline");
                db.Table1->Next();
                if (db.Table1->Eof())
                    db.Table1->First();
            },
            [&] { finder.FindNext(); });
        if (found.find("number 99999.") == std::string::npos ||
            db.Table1->FieldByName("TagText").AsString() != found)
            std::printf("unexpected: the find did not end on the one row that holds the text\n");
        std::printf("find_seconds=%.4f\n", seconds);
    }
    db.Table1->Close();
    for (const auto& shown : dialogs.Shown())
        if (shown.Text != "File successfully imported!" &&
            shown.Text.find("Records Copied") == std::string::npos &&
            shown.Text.rfind("The database (", 0) != 0 && shown.Text != "All Done!" &&
            shown.What == fw::TScriptedDialogs::TShownKind::Message &&
            shown.Text.rfind("The text file being imported", 0) != 0)
            std::printf("unexpected box: %s\n", shown.Text.c_str());
    return 0;
}
