// Helpers shared by the engine's tests: a scratch folder per test, the tagline table
// layout, and a few row operations through the C API.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "idapi.h"

namespace idptest {

// A fresh folder removed with its contents when the test ends.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& Dir() const { return dir_; }

  private:
    std::string dir_;
};

// The last failure's full text.
std::string LastError();

// A table of the tagline layout (taglinedb/TaglineSchema.h); without its indexes it is
// unkeyed, the shape of the engine's scratch and import tables.
void CreateTagTable(const std::string& path, bool withIndexes = true);
// A table object's cursor that closes itself. Its changes check the engine's integrity
// checks afterwards.
class Table {
  public:
    Table(const std::string& path, uint16_t mode = IDP_OPEN_SHARED);
    ~Table();
    IdpCursor operator*() const { return cursor_; }
    IdpStatus Status() const { return status_; }
    // Appends a row with TagText = text; returns the post's status.
    IdpStatus Add(const std::string& text);
    // Changes the current row's TagText, or deletes the current row; the status.
    IdpStatus Edit(const std::string& text);
    IdpStatus Delete();
    // Fails the test when the open table is not what it should be in memory.
    void ExpectIntact() const;
    std::string Text(uint16_t field = 1);
    int32_t Integer(uint16_t field = 2);
    uint32_t Count();
    // TagText of every row in the current order.
    std::vector<std::string> All();

  private:
    std::string path_;
    IdpCursor cursor_ = nullptr;
    IdpStatus status_ = IDP_OK;
};

std::vector<uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace idptest
