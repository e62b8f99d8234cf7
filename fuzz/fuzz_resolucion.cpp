// The import's session resolution over tables made from arbitrary bytes: SOLUC and the six
// tables its codes are looked up in, each with its usual fields (now and then one missing),
// cells blank, raw bytes, or words from a small vocabulary so that lookups meet. Every session
// resolves and goes into a result block, or the run stops with an Error.
#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/xml_document.h"
#include "import/bloque_resultado.h"
#include "import/resolucion.h"
#include "import/soluc.h"
#include "platform/error.h"
#include "tables/dbase_table.h"
#include "tables/definitions.h"

namespace {

using toa::tables::Table;

constexpr std::array<std::string_view, 16> kWords = {"",    "A",   "MATE", "1",   "3",   "35",
                                                     "2.5", " 3",  "-0",   "1e3", "O'N", "\xD1",
                                                     "0",   "212", "x",    "12"};

std::string cellText(FuzzedDataProvider& input, std::size_t length) {
    switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0:
            return std::string();
        case 1:
            return std::string(input.PickValueInArray(kWords));
        default:
            return input.ConsumeBytesAsString(length);
    }
}

Table fuzzedTable(FuzzedDataProvider& input, const toa::tables::TableDef& def) {
    std::vector<toa::tables::Field> fields = Table(def).fields();
    if (input.ConsumeIntegralInRange(0, 15) == 0) {
        fields.erase(fields.begin() +
                     static_cast<std::ptrdiff_t>(
                         input.ConsumeIntegralInRange<std::size_t>(0, fields.size() - 1)));
    }
    Table table(std::string(def.name), fields);
    const int rows = input.ConsumeIntegralInRange(0, 12);
    for (int row = 0; row < rows; ++row) {
        std::string record(table.recordLength(), ' ');
        for (const toa::tables::Field& field : table.fields()) {
            const std::string text = cellText(input, field.length);
            record.replace(field.offset, std::min<std::size_t>(text.size(), field.length), text, 0,
                           field.length);
        }
        table.appendRecord(record);
    }
    return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const Table soluc = fuzzedTable(input, toa::tables::SOLUC);
    const Table asigt = fuzzedTable(input, toa::tables::ASIGT);
    const Table asignomt = fuzzedTable(input, toa::tables::ASIGNOMT);
    const Table grupost = fuzzedTable(input, toa::tables::GRUPOST);
    const Table asignomt2 = fuzzedTable(input, toa::tables::ASIGNOMT2);
    const Table diashorast = fuzzedTable(input, toa::tables::DIASHORAST);
    const Table aulat = fuzzedTable(input, toa::tables::AULAT);
    try {
        const toa::importar::Soluc sesiones(soluc);
        const toa::importar::Resolucion resolucion(toa::importar::TablasBusqueda{
            .asigt = asigt,
            .asignomt = asignomt,
            .grupost = grupost,
            .asignomt2 = asignomt2,
            .diashorast = diashorast,
            .aulat = aulat,
        });
        toa::xml::Document doc;
        doc.loadMemory("<SERVICIO><SALIDAS/></SERVICIO>", "fuzz.xml");
        const toa::xml::Node bloque = doc.documentElement().selectSingleNode("SALIDAS");
        const std::size_t prof = soluc.fieldIndex("PROF");
        (void)doc.serializeAppending(bloque, [&](toa::xml::ElementWriter& escritor) {
            for (std::size_t row = 0; row < soluc.recordCount(); ++row) {
                for (const std::size_t fila : sesiones.filasDe(soluc.asString(row, prof))) {
                    if (!sesiones.esSesion(fila)) continue;
                    toa::importar::abrirEntrada(escritor, "TRAMO_1");
                    toa::importar::escribirSesion(escritor,
                                                  resolucion.resolver(sesiones.fila(fila)));
                    escritor.close();
                }
            }
        });
    } catch (const toa::Error&) {
    }
    return 0;
}
