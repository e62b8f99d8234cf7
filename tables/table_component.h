#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tables/dbase_table.h"

// A table component of the window: bound to a folder and a table name, opened for exclusive use.
// While open, another process cannot open the same table for exclusive use (advisory lock off
// Windows, share mode on Windows) and gets an Error naming the table.
namespace toa::tables {

class TableComponent {
  public:
    // `windowsFolder` as the system names it ("c:\xtemp"), `tableName` without extension.
    TableComponent(std::string windowsFolder, std::string tableName);
    ~TableComponent();
    TableComponent(TableComponent&&) noexcept;
    TableComponent& operator=(TableComponent&&) noexcept;

    const std::string& tableName() const { return tableName_; }

    // Opening an open table has no further effect. A missing file, a table in use or a bad file
    // raises an Error naming the table.
    void open();
    void close();
    bool active() const;

    // Record order; with a filter on, only the rows it lets through. Opening goes to the first
    // row. After `next` on the last row the end test is true and that row stays current.
    void first();
    void next();
    bool eof() const;
    std::size_t recordCount() const;  // all rows, whatever the filter

    // The current row's field by the read-back rules of Table; with no row visible, empty text
    // and 0. A field the table lacks: Error naming field and table.
    std::string fieldAsString(std::string_view field) const;
    std::int32_t fieldAsInteger(std::string_view field) const;

    // The filter "FIELD= 'value'": rows whose field, read as text, equals the value exactly.
    // Switching it on moves to the first row that passes, and so does switching it off.
    void setFilter(std::string_view field, std::string_view value);
    void clearFilter();

    // The rows read when the table was opened (an open table only).
    const Table& table() const;
    // The current row's number in `table()`; Error when no row is visible.
    std::size_t currentRow() const;

  private:
    struct Open;
    // The open table; Error naming it when it is closed.
    Open& state() const;

    std::string windowsFolder_;
    std::string tableName_;
    std::unique_ptr<Open> open_;
};

}  // namespace toa::tables
