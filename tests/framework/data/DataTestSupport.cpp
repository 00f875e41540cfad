#include "DataTestSupport.h"

#include "taglinedb/TaglineSchema.h"

#include <windows.h>

namespace datatest {

TempDir::TempDir() {
    static int serial = 0;
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    path_ = std::string(base) + "qt-data-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++serial) + "\\";
    CreateDirectoryA(path_.c_str(), nullptr);
}

namespace {

// Wine reuses process numbers from run to run, so a folder left behind would meet a later
// test's folder of the same name: the whole tree goes.
void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((path + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((path + name).c_str());
            else if (name != "." && name != "..")
                RemoveTree(path + name + "\\");
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(path.c_str());
}

} // namespace

TempDir::~TempDir() {
    RemoveTree(path_);
}

void MakeTable(const std::string& path, const std::vector<fw::TFieldDef>& fields,
               const std::vector<fw::TIndexDef>& indexes) {
    fw::TTable table(nullptr);
    table.SetTableName(path);
    table.SetTableType(fw::TTableType::ttParadox);
    for (const fw::TFieldDef& f : fields)
        table.FieldDefs().Add(f.Name, f.DataType, f.Size, f.Required);
    for (const fw::TIndexDef& x : indexes)
        table.IndexDefs().Add(x.Name, x.Fields, x.Options);
    table.CreateTable();
}

std::string MakeTable(const TempDir& dir, const std::string& name,
                      const std::vector<fw::TFieldDef>& fields,
                      const std::vector<fw::TIndexDef>& indexes) {
    const std::string path = dir.File(name);
    MakeTable(path, fields, indexes);
    return path;
}

void MakeTaglineTable(const std::string& path, Keys keys) {
    fw::TTable table(nullptr);
    table.SetTableName(path);
    table.SetTableType(fw::TTableType::ttParadox);
    for (const IdpFieldDesc& field : tagline::kFields)
        table.FieldDefs().Add(field);
    // Keyed the way another program may key it: on TagText with case counting.
    if (keys != Keys::None)
        table.IndexDefs().Add("", "TagText",
                              {fw::TIndexOption::ixPrimary, fw::TIndexOption::ixUnique});
    if (keys == Keys::TagTextAndRecNo)
        table.IndexDefs().Add(tagline::kRecNoIndex);
    table.CreateTable();
}

void AddTaglines(const std::string& path, const std::vector<std::string>& texts) {
    fw::TTable table(nullptr);
    table.SetTableName(path);
    table.Open();
    for (const std::string& text : texts) {
        table.Append();
        table.FieldByName("TagText").SetAsString(text);
        table.Post();
    }
}

std::vector<std::string> ReadTaglines(const std::string& path, const std::string& indexFields) {
    fw::TTable table(nullptr);
    table.SetTableName(path);
    table.SetIndexFieldNames(indexFields);
    table.Open();
    std::vector<std::string> texts;
    for (table.First(); !table.Eof(); table.Next())
        texts.push_back(table.FieldByName("TagText").AsString());
    return texts;
}

std::string ErrorText(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace datatest
