// The "Pack / Verify DB" command's steps around the modal table utility window.
#include "tableutil/PackCommand.h"

#include "framework/Paths.h"
#include "tableutil/Tumain.h"

#include <memory>

void RunPackVerify(fw::TComponent* owner, TTableUtilHost& host) {
    fw::TTimer& timer = host.CyclingTimer();
    const bool wasEnabled = timer.Enabled();
    timer.SetEnabled(false);
    fw::TTable& table = host.TaglineTable();
    const std::string path = table.TablePath();
    table.Close();
    const std::string folder = host.ProgramFolder();
    {
        // A window that cannot be made (no library) ends the command here: the table
        // stays closed and the timer stopped, and the message says why.
        std::unique_ptr<TFormTUMain> window =
            std::make_unique<TFormTUMain>(owner, path, folder + "BackUp_.db");
        window->ShowModal();
    }
    if (fw::FileExists(folder + "BackUp_.db")) {
        fw::TTable& backup = host.SecondaryTable();
        backup.Close();
        backup.SetDatabaseName(folder);
        backup.SetTableName("BackUp_.db");
        backup.SetTableType(fw::TTableType::ttParadox);
        backup.DeleteTable();
    }
    host.ReopenTaglineTable();
    host.ReloadSignature();
    timer.SetEnabled(wasEnabled);
}
