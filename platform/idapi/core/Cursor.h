// A cursor on an open table: a position in the order of one index, the browse, edit,
// insert and key states with their record buffers, and field values in the program's
// character set.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "../idapi.h"
#include "Table.h"

namespace idp {

class Cursor {
  public:
    explicit Cursor(std::shared_ptr<Table> table);
    ~Cursor();
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    Table& GetTable() { return *table_; }
    // Writes what is pending; the table closes with its last cursor.
    void Close();

    void SetIndexByName(const std::string& name);
    void SetIndexByFields(const std::string& fieldNames);
    void SetFileOrder();
    // The current index (null in the file order).
    const IndexDef* CurrentIndex() const;
    // Whether the current order is the file's (no index order to work out); when it is
    // not, the number of the index that gives it.
    bool InFileOrder() const { return !InIndexOrder(); }
    size_t OrderIndex() const { return static_cast<size_t>(index_); }

    // Movements return false at the end or beginning (and set the flags).
    bool First();
    // Goes to the first row without working out an index order until a row is needed.
    void Rewind();
    bool Last();
    bool Next();
    bool Prior();
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    uint32_t SeqNo();
    void SetSeqNo(uint32_t seqNo);
    void Refresh();
    uint16_t State() const { return state_; }

    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    void SetKey();
    bool GotoKey();
    // The next row, in the current order and wrapping past the end, whose alpha field
    // contains text, case folded as the indexes fold it; false leaves the cursor in place.
    bool SearchText(uint16_t fieldNo, const std::string& text);

    // The current record (the pending one in edit, insert and key mode).
    const uint8_t* Row() { return ReadRecord(); }
    // The field's description; throws IDP_ERR_NO_SUCH_FIELD for a bad number (1-based).
    const Field& FieldAt(uint16_t fieldNo) const;
    bool IsBlank(uint16_t fieldNo);
    std::string GetText(uint16_t fieldNo);
    int32_t GetInteger(uint16_t fieldNo);
    double GetDouble(uint16_t fieldNo);
    double GetDateTime(uint16_t fieldNo);
    bool GetBoolean(uint16_t fieldNo);
    std::string GetBytes(uint16_t fieldNo);
    void SetText(uint16_t fieldNo, const std::string& value);
    void SetInteger(uint16_t fieldNo, int32_t value);
    void SetDouble(uint16_t fieldNo, double value);
    void SetDateTime(uint16_t fieldNo, double value);
    void SetBoolean(uint16_t fieldNo, bool value);
    void SetBytes(uint16_t fieldNo, const std::string& value);
    void SetBlank(uint16_t fieldNo);

  private:
    bool InIndexOrder() const;
    bool LookUpKey();
    void Revalidate();
    void Resolve();
    uint32_t Rank();
    // near: where the row at that rank most likely is in file order.
    void MoveToRank(uint32_t rank, std::optional<uint32_t> near = std::nullopt);
    const uint8_t* ReadRecord();
    uint8_t* WriteField(uint16_t fieldNo, const Field*& field);
    void RequireBrowse() const;

    std::shared_ptr<Table> table_;
    int index_ = -1;       // into the table's indexes; -1 the file order
    size_t keyFields_ = 0; // fields a key names when fewer than the index has (0: all)
    uint32_t seq_ = 0;
    std::optional<uint32_t> rank_; // seq_'s rank in the current order, once asked for
    bool onRow_ = false;
    bool atFirst_ = false; // on the first row of the current order, not yet looked up
    bool eof_ = true, bof_ = true;
    uint64_t generation_ = 0;
    uint16_t state_ = IDP_STATE_BROWSE;
    uint16_t stateBeforeKey_ = IDP_STATE_BROWSE;
    std::vector<uint8_t> buffer_;   // the edited or new row
    std::vector<uint8_t> original_; // the edited row as it was
    std::vector<uint8_t> key_;      // the search key in key mode
    std::optional<uint32_t> insertBefore_;
    // The ranks, in the current index's order, of the rows that hold a text search's
    // folded text, while the table's generation holds.
    struct TextHits {
        uint64_t generation = ~uint64_t{0};
        size_t index = 0;
        uint16_t field = 0;
        std::string needle;
        std::vector<uint32_t> ranks;
    } hits_;
};

} // namespace idp
