// An exchange document from arbitrary bytes, then the export's eight tables in memory. Every
// table that comes out must survive its own file format: written and read back, the same rows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "exchange/xml_document.h"
#include "export/export_run.h"
#include "platform/error.h"
#include "tables/dbase_file.h"

namespace {

void roundTrip(const toa::tables::Table& table) {
    std::ostringstream file;
    toa::tables::writeDbf(table, file);
    const toa::tables::Table back = toa::tables::readDbf(file.str(), table.name());
    if (back.recordCount() != table.recordCount()) std::abort();
    for (std::size_t row = 0; row < table.recordCount(); ++row) {
        if (back.record(row) != table.record(row)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    toa::xml::Document doc;
    try {
        doc.loadMemory(bytes, "fuzz.xml");
    } catch (const toa::Error&) {
        return 0;
    }
    try {
        const toa::exportar::ExportTables tables = toa::exportar::buildExportTables(doc);
        for (const toa::tables::Table* table :
             {&tables.ASIGNOMT, &tables.ASIGNOMT2, &tables.PROFT, &tables.AULAT, &tables.CURSOST,
              &tables.GRUPOST, &tables.ASIGT, &tables.DIASHORAST}) {
            roundTrip(*table);
        }
    } catch (const toa::Error&) {
        // A refused document ends the run with its message: the outcome we want.
    }
    return 0;
}
