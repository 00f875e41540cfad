// Memo and BLOB values: the leader kept in the record and, for longer values, the data in
// the table's .MB file.
#pragma once

#include <memory>
#include <string>

#include "Os.h"
#include "Schema.h"

namespace idp {

class BlobFile {
  public:
    explicit BlobFile(std::string path) : path_(std::move(path)) {}
    // The whole value of a blob field of a record. Throws IDP_ERR_DAMAGED when the record
    // points to data the .MB file does not hold.
    std::string Read(const uint8_t* field, const Field& f);

  private:
    std::string ReadAt(uint64_t offset, size_t count);
    std::string path_;
    os::File file_;
    uint64_t size_ = 0;
};

// The length a blob field's record part gives.
uint32_t BlobLength(const uint8_t* field, const Field& f);
// Stores a value that fits in the leader (no .MB data); false when it does not fit.
bool EncodeLeaderBlob(uint8_t* field, const Field& f, const std::string& value);

} // namespace idp
