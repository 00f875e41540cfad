// The table maintenance commands as the menu runs them, under Wine, timed for
// bench/commands/run.sh, which times the peers (SQLite's .import, cp) in the same run:
//   commands_bench import FILE   Import Text File of FILE into an empty keyed tagline table
//   commands_bench saveas FILE   Save DB As of the table that importing FILE gives
// Each prints `<name>_seconds=<median of five runs>`.
#include "RecordingHost.h"
#include "framework/Application.h"
#include "framework/Paths.h"
#include "framework/Process.h"
#include "framework/data/Table.h"
#include "taglinedb/TableMaintenance.h"
#include "taglinedb/TaglineDatabase.h"
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
        std::fprintf(stderr, "usage: commands_bench import|saveas TEXTFILE\n");
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
    }
    db.Table1->Close();
    for (const auto& shown : dialogs.Shown())
        if (shown.Text != "File successfully imported!" &&
            shown.Text.find("Records Copied") == std::string::npos &&
            shown.What == fw::TScriptedDialogs::TShownKind::Message &&
            shown.Text.rfind("The text file being imported", 0) != 0)
            std::printf("unexpected box: %s\n", shown.Text.c_str());
    return 0;
}
