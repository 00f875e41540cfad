// Shared by the data-access tests: a scratch folder that is removed with everything in
// it, and tagline tables made and filled through the framework's own classes.
#pragma once

#include "framework/data/Table.h"

#include <functional>
#include <string>
#include <vector>

namespace datatest {

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder, ending in a backslash.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

// Any table, from field and index definitions.
void MakeTable(const std::string& path, const std::vector<fw::TFieldDef>& fields,
               const std::vector<fw::TIndexDef>& indexes);
// The same in a scratch folder; the table's path.
std::string MakeTable(const TempDir& dir, const std::string& name,
                      const std::vector<fw::TFieldDef>& fields,
                      const std::vector<fw::TIndexDef>& indexes);

enum class Keys { None, TagText, TagTextAndRecNo };

// A table with the tagline fields, keyed as asked: TagText: a primary index on TagText in
// which case counts; TagTextAndRecNo: that and the program's "RecNo" index on Record.
void MakeTaglineTable(const std::string& path, Keys keys);
// Appends one row per text.
void AddTaglines(const std::string& path, const std::vector<std::string>& texts);
// Every TagText of the table in the order of the given index fields ("" primary order).
std::vector<std::string> ReadTaglines(const std::string& path,
                                      const std::string& indexFields = std::string());

// The message of the error fn raises, or "(no error)".
std::string ErrorText(const std::function<void()>& fn);

} // namespace datatest
