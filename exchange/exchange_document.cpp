#include "exchange/exchange_document.h"

#include <array>
#include <utility>

#include "platform/ansi.h"

namespace toa::exchange {
namespace {

// Every entry of every list named `listName`, in document order.
std::vector<xml::Node> entryNodes(const xml::Document& doc, std::string_view listName) {
    // The name sits between double quotes in the expression.
    if (listName.find('"') != std::string_view::npos) {
        throw Error("El nombre de lista «" + std::string(listName) + "» no es válido");
    }
    return doc.selectNodes("/SERVICIO/SALIDAS/listasal[@seq=\"" + std::string(listName) +
                           "\"]/listasal");
}

std::vector<xml::Node> items(const xml::Node& entry) {
    return entry.selectNodes("salida");
}

// Trimmed while still Unicode text, then converted to 8-bit text.
std::string itemValue(const xml::Node& item) {
    return ansiFromUtf8(trimControls(item.text()));
}

}  // namespace

const std::string& Entry::item(std::size_t position) const {
    static const std::string kMissing;
    return position < items.size() ? items[position] : kMissing;
}

std::vector<Entry> selectEntries(const xml::Document& doc, std::string_view listName) {
    std::vector<Entry> entries;
    for (const xml::Node& entryNode : entryNodes(doc, listName)) {
        Entry& entry = entries.emplace_back();
        for (const xml::Node& item : items(entryNode)) entry.items.push_back(itemValue(item));
    }
    return entries;
}

std::vector<Interval> readIntervals(const xml::Document& doc) {
    std::vector<Interval> intervals;
    for (const xml::Node& entryNode : entryNodes(doc, kIntervalos)) {
        Interval& interval = intervals.emplace_back();
        const std::array<std::pair<std::string_view, std::string*>, 5> fields{{
            {"CODIGO_ARDEL", &interval.codigoArdel},
            {"NOMBRE", &interval.nombre},
            {"INICIO", &interval.inicio},
            {"FIN", &interval.fin},
            {"ORDEN", &interval.orden},
        }};
        for (const xml::Node& item : items(entryNode)) {
            const std::optional<std::string> dato = item.attribute("dato");
            if (!dato) continue;
            // The name is compared exactly as written: neither trimmed nor folded.
            const std::string name = ansiFromUtf8(*dato);
            for (const auto& [fieldName, field] : fields) {
                if (name == fieldName) *field = itemValue(item);
            }
        }
    }
    return intervals;
}

xml::Document loadExchangeDocument(const std::filesystem::path& path) {
    xml::Document doc;
    // The export only reads it: the layout between elements is not kept, the items' texts are.
    doc.loadForReading(path, "salida");
    return doc;
}

}  // namespace toa::exchange
