#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tables/definitions.h"

// A dBase table held in memory, its rows in the layout of the file: what an export step builds
// before it is written, and what a table component reads when it opens a file. Texts are 8-bit.
namespace toa::tables {

struct Field {
    std::string name;  // as in the file header; looked up without regard to letter case
    char type = 'C';   // C, N, F, L, D, I, ...
    std::uint8_t length = 0;
    std::uint8_t decimals = 0;
    std::size_t offset = 0;  // within the record: the first field follows the deletion flag, at 1
};

class Table {
  public:
    // An empty table with the fields of a definition (the engine's "create").
    explicit Table(const TableDef& def);
    // A table as read from a file; `name` names it in messages. Offsets follow from the lengths.
    Table(std::string name, std::vector<Field> fields);

    const std::string& name() const { return name_; }
    const std::vector<Field>& fields() const { return fields_; }
    std::size_t recordLength() const { return recordLength_; }  // with the deletion flag
    std::size_t recordCount() const { return data_.size() / recordLength_; }

    // The field's position (letter case aside, as the engine finds fields); Error naming field
    // and table when the table lacks it.
    std::size_t fieldIndex(std::string_view fieldName) const;

    // Appends a blank row and returns its number.
    std::size_t append();
    // A text longer than the field is stored as its first `length` characters, without error. A
    // numeric field takes the text as a number (Error when it is none); a logical field refuses.
    void setString(std::size_t row, std::size_t field, std::string_view ansi);
    void setBoolean(std::size_t row, std::size_t field, bool value);
    // A number that does not fit its field is an Error, never cut.
    void setFloat(std::size_t row, std::size_t field, double value);

    // Read-back rules: text without the blanks that fill the field (leading blanks stay), a
    // number in its shortest decimal form, an unset text empty, an unset number "0", a logical
    // "True", "False" or, unset, empty. Junk in a numeric or logical field is an Error naming
    // field and table.
    std::string asString(std::size_t row, std::size_t field) const;
    // A number rounded to the nearest integer (halves away from zero), an unset one 0; a text
    // field's text converted as a decimal integer (blank: 0; anything else: Error naming field
    // and table); a logical 1 or 0.
    std::int32_t asInteger(std::size_t row, std::size_t field) const;
    double asFloat(std::size_t row, std::size_t field) const;

    // The record's bytes, deletion flag first.
    std::string_view record(std::size_t row) const;
    // Adds a record read from a file (exactly recordLength() bytes).
    void appendRecord(std::string_view bytes);
    // The records read from a file, one after the other, in place of the table's rows: taken as
    // they are, without a copy. Their length must be a whole number of records.
    void setRecords(std::string records);

  private:
    void layOut();
    std::string_view cell(std::size_t row, std::size_t field) const;
    char* mutableCell(std::size_t row, std::size_t field);
    std::string describe(std::size_t field) const;

    std::string name_;
    std::vector<Field> fields_;
    std::size_t recordLength_ = 1;
    std::string data_;  // the records one after the other
};

// What a text becomes when stored in a field of `width` characters and read back: cut to the
// width, without trailing blanks. The export compares "as read back from the table" with it.
std::string storedText(std::string_view ansi, std::size_t width);

}  // namespace toa::tables
