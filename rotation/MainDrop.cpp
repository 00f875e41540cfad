// Files dropped on the main window from the shell.
#include "rotation/Main.h"

#include "framework/Dialogs.h"
#include "framework/Paths.h"
#include "framework/Strings.h"
#include "taglinedb/TaglineDatabase.h"

#include <shellapi.h>

#include <memory>
#include <vector>

void TMainForm::WMDropFiles(HDROP drop) {
    std::unique_ptr<std::remove_pointer_t<HDROP>, decltype(&DragFinish)> release(drop, DragFinish);
    StopTimer();
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count > 1) {
        fw::ShowMessage("Sorry, I can only process one file at a time.\r\nPlease try again!");
        return;
    }
    if (count == 0)
        return;
    // The shell says how long the name is, so a name of any length is read whole.
    std::vector<char> name(DragQueryFileA(drop, 0, nullptr, 0) + 1, '\0');
    DragQueryFileA(drop, 0, name.data(), static_cast<UINT>(name.size()));
    std::string fileName = name.data();
    std::string ext = fw::LowerCase(fw::ExtractFileExt(fileName));
    if (ext == ".pce" || ext == ".txt" || ext == ".pms" || ext == ".alt") {
        OpenTheFile(fileName);
        return;
    }
    if (ext == ".db") {
        Taglines->OpenDatabase(Table1, fileName);
        return;
    }
    fw::MessageDlg("Drag & Drop aborted\r\nUnrecognized file type: " + ext + "\r\n" + fileName,
                   fw::TMsgDlgType::mtError, fw::TMsgDlgButtons::mbOK);
}
