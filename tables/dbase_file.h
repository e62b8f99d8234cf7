#pragma once
#include <filesystem>
#include <istream>
#include <ostream>
#include <string_view>
#include <vector>

#include "tables/dbase_table.h"

// The dBase file format: writes dBase III+ files, reads the dBase III/IV/V and FoxPro files a
// timetabling program writes. A file that is not right raises an Error naming it.
namespace toa::tables {

void writeDbf(const Table& table, std::ostream& out);
// `name` names the table in messages (for instance the file's path).
Table readDbf(std::string_view bytes, std::string_view name);
// The same, with the file named in messages about its format and the table named as its
// readers know it ("SOLUC") in messages about fields.
Table readDbf(std::string_view bytes, std::string_view fileName, std::string tableName);
// The same on the file's bytes, whose records become the table's in place: a large table is
// never held twice.
Table readDbf(std::string&& bytes, std::string_view fileName, std::string tableName);
// The table is named after the file without its extension.
Table readDbfFile(const std::filesystem::path& path);

// The re-create rule: the table's .DBF in `folder` replaced atomically by the new content (a
// reader sees the old table or the whole new one), then its stale .MDX deleted. A table that
// another program holds for exclusive use is not replaced: Error naming it.
void replaceTable(const std::filesystem::path& folder, const Table& table);

// The same for several tables at once: all are written before any replaces its old file, so a
// table in use or a write that fails (a full disk) leaves every old table as it was.
void replaceTables(const std::filesystem::path& folder, const std::vector<const Table*>& tables);

}  // namespace toa::tables
