// The engine as qtdb uses it: a table cursor that closes itself, and every engine status
// turned into an error that names the table.
#pragma once

#include "platform/idapi/idapi.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace qtdb {

// An error for the user: one line, naming the file it is about.
class Error : public std::runtime_error {
  public:
    using runtime_error::runtime_error;
};

// Raises Error "<file>: <the engine's text>" unless status is IDP_OK.
void Check(IdpStatus status, const std::string& file);

class Cursor {
  public:
    Cursor(const std::string& table, bool exclusive);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    IdpCursor Handle() const { return cursor_; }
    const std::string& Table() const { return table_; }
    // Status check naming this table.
    void Check(IdpStatus status) const { qtdb::Check(status, table_); }
    // Closes now, reporting a failed close (the last write of the table).
    void Close();

    uint32_t RecordCount() const;
    // The TagText of the current row.
    std::string TagText() const;

  private:
    std::string table_;
    IdpCursor cursor_ = nullptr;
};

// The TagText of a row drawn from the table by the program's random pick from seed: the
// r-th row in the order the rows lie in the file, which is as random a choice as any
// order's and reads one block of the table, not all of it. Error when the table is empty.
std::string RandomTagline(const std::string& table, uint32_t seed);
// Creates an empty tagline table with the standard indexes.
void CreateTaglineTable(const std::string& table);
// The engine's private folder, with a separator, for scratch tables.
std::string ScratchFolder();

} // namespace qtdb
