#pragma once
#include <filesystem>
#include <istream>
#include <ostream>
#include <string_view>

#include "tables/dbase_table.h"

// The dBase file format: writes dBase III+ files, reads the dBase III/IV/V and FoxPro files a
// timetabling program writes. A file that is not right raises an Error naming it.
namespace toa::tables {

void writeDbf(const Table& table, std::ostream& out);
// `name` names the table in messages (for instance the file's path).
Table readDbf(std::string_view bytes, std::string_view name);
Table readDbfFile(const std::filesystem::path& path);

// The re-create rule: the table's .DBF in `folder` replaced atomically by the new content (a
// reader sees the old table or the whole new one), then its stale .MDX deleted. A table that
// another program holds for exclusive use is not replaced: Error naming it.
void replaceTable(const std::filesystem::path& folder, const Table& table);

}  // namespace toa::tables
