// For `make screenshots`: the main window with one of its pop-ups open, held for the given
// number of seconds and then closed:
//   window_shot input SECONDS    the signature selection dialog on a sample signature file
//   window_shot context SECONDS  the main window's context menu
//   window_shot tray SECONDS     the tray menu, where a right click on the icon puts it
//   window_shot file SECONDS     the File menu with a recent signature file listed
//   window_shot database SECONDS the Database menu, with Find Tagline and its keys
//   window_shot find SECONDS     the Find Tagline box, offering the text found before
//   window_shot notfound SECONDS the box that says no tagline holds the text
// and the messages of the table maintenance commands, run on a scratch copy of the
// table: saveas, merge, delete, import (its first box), imported, stolen, exists, noclip.
#include "desktop/MRUList.h"
#include "framework/Dialogs.h"
#include "framework/data/Table.h"
#include "taglinedb/TableMaintenance.h"
#include "taglinedb/TaglineDatabase.h"
#include "framework/Application.h"
#include "framework/Menus.h"
#include "rotation/Main.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

namespace {

void CALLBACK ClosePopUps(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
    if (HWND dialog = FindWindowA(nullptr, "Quiptide Signature Input Form"))
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    // A message box of a command: its cancel (or only) button.
    if (HWND box = FindWindowA("#32770", nullptr))
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
}

// The real message boxes, with the file dialogs answered by a prepared name and the
// import's first question by OK, so that the box a picture is of comes up by itself.
class TShotDialogs : public fw::TDialogService {
  public:
    TShotDialogs(fw::TDialogService& real, std::string fileName, bool skipAdvice)
        : real_(real), fileName_(std::move(fileName)), skipAdvice_(skipAdvice) {}
    int MessageDlg(const std::string& text, fw::TMsgDlgType kind, fw::TMsgDlgButtons buttons,
                   const std::string& caption) override {
        if (skipAdvice_ && text.rfind("The text file being imported", 0) == 0)
            return fw::mrOk;
        return real_.MessageDlg(text, kind, buttons, caption);
    }
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override {
        return real_.InputQuery(caption, prompt, value);
    }
    bool OpenFile(fw::TFileDialog& dialog) override { return Answer(dialog); }
    bool SaveFile(fw::TFileDialog& dialog) override { return Answer(dialog); }

  private:
    bool Answer(fw::TFileDialog& dialog) {
        dialog.FileName = fileName_;
        return true;
    }
    fw::TDialogService& real_;
    std::string fileName_;
    bool skipAdvice_;
};

// The real dialogs, with the find's question answered by a prepared text.
class TFindAnswer : public fw::TDialogService {
  public:
    TFindAnswer(fw::TDialogService& real, std::string text) : real_(real), text_(std::move(text)) {}
    int MessageDlg(const std::string& text, fw::TMsgDlgType kind, fw::TMsgDlgButtons buttons,
                   const std::string& caption) override {
        return real_.MessageDlg(text, kind, buttons, caption);
    }
    bool InputQuery(const std::string&, const std::string&, std::string& value) override {
        value = text_;
        return true;
    }
    bool OpenFile(fw::TFileDialog& dialog) override { return real_.OpenFile(dialog); }
    bool SaveFile(fw::TFileDialog& dialog) override { return real_.SaveFile(dialog); }

  private:
    fw::TDialogService& real_;
    std::string text_;
};

void Clipboard(const std::string& text) {
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    if (!text.empty()) {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
    }
    CloseClipboard();
}

// Runs a maintenance command on a scratch copy of the table.
void MaintenanceShot(TMainForm& form, const std::string& which) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "qt-shots";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string table = (dir / "Taglines.db").string();
    const std::string other = (dir / "Other.db").string();
    form.MRUDBList->AutoSave = false; // the scratch tables are not kept among the user's
    form.Table1->Close();
    for (const char* ext : {".db", ".px", ".qix"})
        if (std::filesystem::exists(form.ProgramDir + "Quiptide" + ext))
            std::filesystem::copy_file(form.ProgramDir + "Quiptide" + ext,
                                       dir / (std::string("Taglines") + ext));
    form.Taglines->OpenDatabase(form.Table1, table);
    form.Taglines->CreateNewTable(form.Table2, other);
    {
        fw::TTable t(nullptr);
        t.SetTableName(other);
        t.Open();
        for (const char* tag : {"Merged from another collection.", "A second one.", "A third."}) {
            t.Append();
            t.FieldByName("TagText").SetAsString(tag);
            t.Post();
        }
    }
    const std::string text = (dir / "taglines.txt").string();
    std::ofstream(text, std::ios::binary) << "A new tagline from a text file.\r\n";

    std::string fileName = other;
    if (which == "import" || which == "imported")
        fileName = text;
    else if (which == "saveas")
        fileName = (dir / "Copy.db").string();
    TShotDialogs dialogs(fw::Dialogs(), fileName, which == "imported");
    fw::TDialogsOverride shown(dialogs);
    if (which == "saveas")
        form.mnuDBSaveAsClick(nullptr);
    else if (which == "merge")
        form.mnuDBMergeClick(nullptr);
    else if (which == "delete")
        form.mnuDBDeleteClick(nullptr);
    else if (which == "import" || which == "imported")
        form.mnuDBImportClick(nullptr);
    else if (which == "stolen" || which == "exists" || which == "noclip") {
        form.Table1->First();
        Clipboard(which == "noclip"   ? std::string()
                  : which == "exists" ? form.DBMemo->Text()
                                      : std::string("A tagline stolen from the clipboard."));
        form.popTrayTagThiefClick(nullptr);
    }
    form.Table1->Close();
    std::filesystem::remove_all(dir);
}

} // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "input";
    const unsigned seconds = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 10;
    const auto sample = std::filesystem::temp_directory_path() / "signatur.pce";
    std::ofstream(sample, std::ios::binary)
        << "Jane Doe\r\nExample Corp, Harbour Road 12\r\n+1 555 0100\r\n-- \r\n"
           "Backups are a love letter to your future self.\r\n";
    fw::Application().Initialize();
    fw::Application().SetTitle("Quiptide");
    TMainForm form(nullptr);
    form.Show();
    SetTimer(nullptr, 0, seconds * 1000, ClosePopUps);
    RECT r;
    GetWindowRect(form.Handle(), &r);
    if (which == "input") {
        form.OpenTheFile(sample.string());
    } else if (which == "context") {
        form.popMain->Popup(r.left + 120, r.top + 150);
    } else if (which == "tray") {
        form.TrayIcon1RightClick(nullptr, fw::TMouseButton::mbRight, {},
                                 GetSystemMetrics(SM_CXSCREEN) - 260,
                                 GetSystemMetrics(SM_CYSCREEN) - 30);
    } else if (which == "file") {
        form.MRUSigList->AutoSave = false; // the sample is not kept among the user's files
        form.MRUSigList->AddItem(sample.string());
        SetForegroundWindow(form.Handle());
        SendMessageA(form.Handle(), WM_SYSCOMMAND, SC_KEYMENU, 'f');
    } else if (which == "database") {
        // Dropped under its title, where a click drops it.
        SetForegroundWindow(form.Handle());
        HMENU bar = GetMenu(form.Handle());
        RECT title{};
        GetMenuItemRect(form.Handle(), bar, 2, &title);
        TrackPopupMenu(GetSubMenu(bar, 2), TPM_LEFTALIGN | TPM_TOPALIGN, title.left, title.bottom,
                       0, form.Handle(), nullptr);
    } else if (which == "find" || which == "notfound") {
        {
            TFindAnswer answer(fw::Dialogs(), which == "find" ? "love" : "no such saying");
            fw::TDialogsOverride shown(answer);
            form.mnuDBFindClick(nullptr);
        }
        if (which == "find")
            form.mnuDBFindClick(nullptr);
    } else {
        MaintenanceShot(form, which);
    }
    std::filesystem::remove(sample);
    return 0;
}
