// A dBase file from arbitrary bytes: it is refused with an Error, or every cell reads back by
// the engine's rules (or refuses its junk with an Error) and the table survives being written
// and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string_view>

#include "platform/error.h"
#include "tables/dbase_file.h"

namespace {

void readEveryCell(const toa::tables::Table& table) {
    for (std::size_t row = 0; row < table.recordCount(); ++row) {
        for (std::size_t field = 0; field < table.fields().size(); ++field) {
            try {
                (void)table.asString(row, field);
                (void)table.asInteger(row, field);
                (void)table.asFloat(row, field);
            } catch (const toa::Error&) {
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const toa::tables::Table table = toa::tables::readDbf(bytes, "FUZZ.DBF");
        readEveryCell(table);
        std::ostringstream file;
        try {
            toa::tables::writeDbf(table, file);
        } catch (const toa::Error&) {
            return 0;  // a table our writer refuses (an eleven-letter field name, for one)
        }
        const toa::tables::Table back = toa::tables::readDbf(file.str(), "FUZZ.DBF");
        if (back.recordCount() != table.recordCount() ||
            back.fields().size() != table.fields().size())
            std::abort();
        for (std::size_t row = 0; row < table.recordCount(); ++row) {
            if (back.record(row) != table.record(row)) std::abort();
        }
    } catch (const toa::Error&) {
    }
    return 0;
}
