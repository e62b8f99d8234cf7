#include "tables/dbase_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "platform/ansi.h"
#include "platform/conversion.h"
#include "platform/error.h"
#include "tables/numeric_text.h"

namespace toa::tables {
namespace {

// How the engine treats a field, by its type letter. Types it does not know (memo block
// numbers, dates and times of other dialects) are read as text.
enum class Treatment { Text, Number, Logical, Binary32 };

Treatment treatmentOf(char type) {
    switch (type) {
        case 'N':
        case 'F':
            return Treatment::Number;
        case 'L':
            return Treatment::Logical;
        case 'I':
            return Treatment::Binary32;
        default:
            return Treatment::Text;
    }
}

// Writers fill fields with blanks; some fill with NULs.
bool isFill(char c) {
    return c == ' ' || c == '\0';
}

std::string_view withoutTrailingFill(std::string_view text) {
    while (!text.empty() && isFill(text.back())) text.remove_suffix(1);
    return text;
}

bool sameNameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return true;
}

char fieldType(FieldKind kind) {
    switch (kind) {
        case FieldKind::Logical:
            return 'L';
        case FieldKind::Integer:
        case FieldKind::Float:
            return 'N';
        case FieldKind::Text:
            break;
    }
    return 'C';
}

Field fieldOf(const FieldDef& def) {
    Field field{std::string(def.name), fieldType(def.kind), 1, 0, 0};
    switch (def.kind) {
        case FieldKind::Text:
            // Out of dBase's range of text widths: left 0, which the layout refuses.
            if (def.width >= 1 && def.width <= 254)
                field.length = static_cast<std::uint8_t>(def.width);
            else
                field.length = 0;
            break;
        case FieldKind::Logical:
            break;
        case FieldKind::Integer:
            field.length = kIntegerWidth;
            field.decimals = kIntegerDecimals;
            break;
        case FieldKind::Float:
            field.length = kFloatWidth;
            field.decimals = kFloatDecimals;
            break;
    }
    return field;
}

std::vector<Field> fieldsOf(const TableDef& def) {
    std::vector<Field> fields;
    fields.reserve(def.fields.size());
    for (const FieldDef& field : def.fields) fields.push_back(fieldOf(field));
    return fields;
}

std::int32_t readInt32(std::string_view bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return static_cast<std::int32_t>(value);
}

void writeInt32(char* out, std::int32_t signedValue) {
    auto value = static_cast<std::uint32_t>(signedValue);
    for (std::size_t i = 0; i < 4; ++i, value >>= 8) out[i] = static_cast<char>(value & 0xFF);
}

bool fitsInt32(double value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

Table::Table(const TableDef& def) : name_(def.name), fields_(fieldsOf(def)) {
    layOut();
}

Table::Table(std::string name, std::vector<Field> fields)
    : name_(std::move(name)), fields_(std::move(fields)) {
    layOut();
}

void Table::layOut() {
    recordLength_ = 1;
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        Field& field = fields_[i];
        if (field.length == 0) throw Error("El " + describe(i) + " tiene una longitud no válida");
        if (treatmentOf(field.type) == Treatment::Binary32 && field.length != 4)
            throw Error("El " + describe(i) + " es un entero binario y no mide 4 bytes");
        field.offset = recordLength_;
        recordLength_ += field.length;
    }
}

std::string Table::describe(std::size_t field) const {
    return "campo " + utf8FromAnsi(fields_[field].name) + " de la tabla " + utf8FromAnsi(name_);
}

std::size_t Table::fieldIndex(std::string_view fieldName) const {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (sameNameIgnoringAsciiCase(fields_[i].name, fieldName)) return i;
    }
    throw Error("La tabla " + utf8FromAnsi(name_) + " no tiene el campo " +
                utf8FromAnsi(fieldName));
}

std::string_view Table::cell(std::size_t row, std::size_t field) const {
    return std::string_view(record(row)).substr(fields_.at(field).offset, fields_[field].length);
}

char* Table::mutableCell(std::size_t row, std::size_t field) {
    record(row);  // checks the row
    return data_.data() + row * recordLength_ + fields_.at(field).offset;
}

std::string_view Table::record(std::size_t row) const {
    if (row >= recordCount())
        throw Error("La tabla " + utf8FromAnsi(name_) + " no tiene el registro " +
                    std::to_string(row + 1));
    return std::string_view(data_).substr(row * recordLength_, recordLength_);
}

std::size_t Table::append() {
    const std::size_t row = recordCount();
    data_.append(recordLength_, ' ');
    // A binary integer has no blank form: an unset one is zero.
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        if (treatmentOf(fields_[i].type) == Treatment::Binary32) writeInt32(mutableCell(row, i), 0);
    }
    return row;
}

void Table::appendRecord(std::string_view bytes) {
    if (bytes.size() != recordLength_)
        throw Error("Un registro de la tabla " + utf8FromAnsi(name_) + " no mide " +
                    std::to_string(recordLength_) + " bytes");
    data_.append(bytes);
}

void Table::setRecords(std::string records) {
    if (records.size() % recordLength_ != 0)
        throw Error("Los registros de la tabla " + utf8FromAnsi(name_) + " no miden " +
                    std::to_string(recordLength_) + " bytes cada uno");
    data_ = std::move(records);
}

void Table::setString(std::size_t row, std::size_t field, std::string_view ansi) {
    char* out = mutableCell(row, field);
    const Field& def = fields_[field];
    switch (treatmentOf(def.type)) {
        case Treatment::Text: {
            const std::size_t kept = std::min<std::size_t>(ansi.size(), def.length);
            std::memcpy(out, ansi.data(), kept);
            std::memset(out + kept, ' ', def.length - kept);
            return;
        }
        case Treatment::Number:
        case Treatment::Binary32: {
            const std::string_view text = trimControls(ansi);
            if (text.empty()) {
                if (treatmentOf(def.type) == Treatment::Number)
                    std::memset(out, ' ', def.length);
                else
                    writeInt32(out, 0);
                return;
            }
            const std::optional<double> value = parseNumber(text);
            if (!value)
                throw Error("El " + describe(field) + " no admite «" + utf8FromAnsi(ansi) +
                            "», que no es un número");
            setFloat(row, field, *value);
            return;
        }
        case Treatment::Logical:
            break;
    }
    throw Error("El " + describe(field) + " es lógico y no admite texto");
}

void Table::setBoolean(std::size_t row, std::size_t field, bool value) {
    char* out = mutableCell(row, field);
    if (treatmentOf(fields_[field].type) != Treatment::Logical)
        throw Error("El " + describe(field) + " no es lógico");
    out[0] = value ? 'T' : 'F';
}

void Table::setFloat(std::size_t row, std::size_t field, double value) {
    char* out = mutableCell(row, field);
    const Field& def = fields_[field];
    const Treatment treatment = treatmentOf(def.type);
    if (treatment != Treatment::Number && treatment != Treatment::Binary32)
        throw Error("El " + describe(field) + " no es numérico");
    if (!std::isfinite(value))
        throw Error("El " + describe(field) + " no admite un valor infinito");
    if (treatment == Treatment::Binary32) {
        const double rounded = std::round(value);
        if (!fitsInt32(rounded))
            throw Error("El valor " + shortestDecimal(value) + " no cabe en el " + describe(field));
        writeInt32(out, static_cast<std::int32_t>(rounded));
        return;
    }
    const std::string text = fixedDecimal(value, def.decimals);
    if (text.size() > def.length)
        throw Error("El valor " + shortestDecimal(value) + " no cabe en el " + describe(field) +
                    " (" + std::to_string(def.length) + " caracteres con " +
                    std::to_string(def.decimals) + " decimales)");
    std::memset(out, ' ', def.length - text.size());
    std::memcpy(out + (def.length - text.size()), text.data(), text.size());
}

// Junk in a numeric or logical field is an Error, not 0: a session read with a made-up day
// would silently vanish from the timetable that goes back to the administration system.
double Table::asFloat(std::size_t row, std::size_t field) const {
    const std::string_view raw = cell(row, field);
    switch (treatmentOf(fields_[field].type)) {
        case Treatment::Binary32:
            return readInt32(raw);
        case Treatment::Logical:
            return asString(row, field) == "True" ? 1 : 0;
        case Treatment::Number:
        case Treatment::Text:
            break;
    }
    const std::string_view text = trimControls(raw);
    if (text.empty()) return 0;
    const std::optional<double> value = parseNumber(text);
    if (!value)
        throw Error("El " + describe(field) + " contiene «" + utf8FromAnsi(text) +
                    "», que no es un número");
    return *value;
}

std::int32_t Table::asInteger(std::size_t row, std::size_t field) const {
    const Treatment treatment = treatmentOf(fields_[field].type);
    if (treatment == Treatment::Text) {
        const std::string_view text = trimControls(cell(row, field));
        if (text.empty()) return 0;
        try {
            return decimalInteger(text);
        } catch (const ConversionError& error) {
            throw Error("El " + describe(field) + " no se lee como entero: " + error.what());
        }
    }
    const double rounded = std::round(asFloat(row, field));
    if (!fitsInt32(rounded))
        throw Error("El " + describe(field) + " contiene " + shortestDecimal(rounded) +
                    ", que no cabe en un entero");
    return static_cast<std::int32_t>(rounded);
}

// A logical reads as "True" or "False", the engine's texts of its two values.
std::string Table::asString(std::size_t row, std::size_t field) const {
    const std::string_view raw = cell(row, field);
    switch (treatmentOf(fields_[field].type)) {
        case Treatment::Text:
            return std::string(withoutTrailingFill(raw));
        case Treatment::Binary32:
            return std::to_string(readInt32(raw));
        case Treatment::Number:
            return shortestDecimal(asFloat(row, field));
        case Treatment::Logical:
            break;
    }
    switch (raw[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return "True";
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return "False";
        case ' ':
        case '?':
        case '\0':
            return std::string();
        default:
            throw Error("El " + describe(field) + " contiene «" + utf8FromAnsi(raw) +
                        "», que no es un valor lógico");
    }
}

std::string storedText(std::string_view ansi, std::size_t width) {
    return std::string(withoutTrailingFill(ansi.substr(0, width)));
}

}  // namespace toa::tables
