#include "tables/dbase_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/error.h"
#include "tables/table_files.h"

namespace toa::tables {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kNameBytes = 11;  // ten characters and a NUL
constexpr std::size_t kMaxFields = 255;
constexpr char kHeaderEnd = 0x0D;
constexpr char kEndOfData = 0x1A;
constexpr unsigned char kDbase3 = 0x03;
constexpr unsigned char kDbase2 = 0x02;
// The language driver that dBase readers agree means Windows-1252.
constexpr unsigned char kWindows1252Driver = 0x03;

// dBase III, IV and V, with or without memo or SQL parts, and FoxPro: the same header and
// field descriptors. FoxPro adds its backlink after the field list, inside the header length.
constexpr std::array<unsigned char, 12> kReadableVersions = {0x03, 0x04, 0x05, 0x30, 0x31, 0x43,
                                                             0x63, 0x83, 0x8B, 0xCB, 0xF5, 0xFB};

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void putLittleEndian(std::string& out, std::size_t at, std::uint32_t value, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i, value >>= 8)
        out[at + i] = static_cast<char>(value & 0xFF);
}

std::string hexByte(unsigned char value) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[value >> 4] + kDigits[value & 0x0F];
}

[[noreturn]] void unwritable(const Table& table, const std::string& reason) {
    throw Error("No se puede escribir la tabla " + table.name() + ": " + reason);
}

std::string headerOf(const Table& table) {
    const std::vector<Field>& fields = table.fields();
    if (fields.empty()) unwritable(table, "no tiene campos");
    if (fields.size() > kMaxFields) unwritable(table, "tiene más de 255 campos");
    if (table.recordLength() > std::numeric_limits<std::uint16_t>::max())
        unwritable(table, "sus registros miden más de 65535 bytes");
    if (table.recordCount() > std::numeric_limits<std::uint32_t>::max())
        unwritable(table, "tiene demasiados registros");

    const std::size_t headerLength = kHeaderSize + fields.size() * kDescriptorSize + 1;
    std::string header(headerLength, '\0');
    header[0] = static_cast<char>(kDbase3);
    const std::time_t now = std::time(nullptr);
    std::tm today{};
#ifdef _WIN32
    localtime_s(&today, &now);
#else
    localtime_r(&now, &today);
#endif
    header[1] = static_cast<char>(today.tm_year % 256);  // years since 1900
    header[2] = static_cast<char>(today.tm_mon + 1);
    header[3] = static_cast<char>(today.tm_mday);
    putLittleEndian(header, 4, static_cast<std::uint32_t>(table.recordCount()), 4);
    putLittleEndian(header, 8, static_cast<std::uint32_t>(headerLength), 2);
    putLittleEndian(header, 10, static_cast<std::uint32_t>(table.recordLength()), 2);
    // Byte 28 stays 0: the table has no production index.
    header[29] = static_cast<char>(kWindows1252Driver);

    for (std::size_t i = 0; i < fields.size(); ++i) {
        const Field& field = fields[i];
        if (field.name.empty() || field.name.size() >= kNameBytes ||
            field.name.find('\0') != std::string::npos)
            unwritable(table, "el nombre de campo «" + field.name + "» no tiene de 1 a 10 letras");
        const std::size_t at = kHeaderSize + i * kDescriptorSize;
        header.replace(at, field.name.size(), field.name);
        header[at + 11] = field.type;
        // FoxPro readers take the field's place in the record from here; dBase ignores it.
        putLittleEndian(header, at + 12, static_cast<std::uint32_t>(field.offset), 4);
        header[at + 16] = static_cast<char>(field.length);
        header[at + 17] = static_cast<char>(field.decimals);
    }
    header[headerLength - 1] = kHeaderEnd;
    return header;
}

bool readable(unsigned char version) {
    return std::find(kReadableVersions.begin(), kReadableVersions.end(), version) !=
           kReadableVersions.end();
}

class Reader {
  public:
    Reader(std::string& bytes, std::string_view fileName)
        : owned_(bytes), bytes_(bytes), file_(fileName) {}

    Table read(std::string tableName) {
        if (bytes_.size() < kHeaderSize)
            bad("está incompleto (" + std::to_string(bytes_.size()) + " bytes)");
        const auto version = static_cast<unsigned char>(bytes_[0]);
        if (version == kDbase2)
            throw Error("El archivo " + std::string(file_) +
                        " es una tabla de dBase II, formato que este programa no lee");
        if (!readable(version)) bad("versión de dBase desconocida (" + hexByte(version) + ")");

        const std::uint32_t count = littleEndian(bytes_, 4, 4);
        const std::uint32_t headerLength = littleEndian(bytes_, 8, 2);
        const std::uint32_t recordLength = littleEndian(bytes_, 10, 2);
        if (headerLength < kHeaderSize + 1)
            bad("la longitud de la cabecera (" + std::to_string(headerLength) +
                ") es menor que la de una cabecera vacía");
        if (headerLength > bytes_.size())
            bad("la cabecera (" + std::to_string(headerLength) + " bytes) no cabe en el archivo (" +
                std::to_string(bytes_.size()) + " bytes)");

        std::vector<Field> fieldList = fields(headerLength);
        std::optional<Table> table;
        try {
            table.emplace(std::move(tableName), std::move(fieldList));
        } catch (const Error& error) {
            std::string reason = error.what();  // "El campo ...", here inside a sentence
            reason[0] = 'e';
            bad(reason);
        }
        const std::size_t used = table->recordLength();
        if (used > recordLength)
            bad("sus campos y la marca de borrado (" + std::to_string(used) +
                " bytes) no caben en el registro (" + std::to_string(recordLength) + " bytes)");

        const std::uint64_t end = headerLength + static_cast<std::uint64_t>(count) * recordLength;
        if (end > bytes_.size())
            bad("está truncado o su número de registros (" + std::to_string(count) +
                ") no concuerda con su tamaño (" + std::to_string(bytes_.size()) + " bytes)");
        const std::uint64_t rest = bytes_.size() - end;
        if (rest == 1 && bytes_.back() != kEndOfData)
            bad("tras el último registro hay un byte que no es la marca de fin de datos");
        if (rest > 1)
            bad("tiene " + std::to_string(rest) +
                " bytes de más tras el último registro: su número de registros (" +
                std::to_string(count) + ") no concuerda con su tamaño");

        // The records kept move to the front of the file's own bytes: each lands before where
        // it was read, so no record is overwritten before it is read.
        std::size_t kept = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::size_t at = headerLength + static_cast<std::size_t>(i) * recordLength;
            if (bytes_[at] == '*') continue;
            if (bytes_[at] != ' ')
                bad("el registro " + std::to_string(i + 1) +
                    " no empieza por una marca de borrado");
            std::memmove(owned_.data() + kept * used, owned_.data() + at, used);
            ++kept;
        }
        owned_.resize(kept * used);
        table->setRecords(std::move(owned_));
        return std::move(*table);
    }

  private:
    [[noreturn]] void bad(const std::string& reason) const {
        throw Error("El archivo " + std::string(file_) +
                    " no es una tabla dBase válida: " + reason);
    }

    std::vector<Field> fields(std::size_t headerLength) const {
        std::vector<Field> result;
        std::size_t at = kHeaderSize;
        while (true) {
            if (at >= headerLength) bad("la lista de campos no termina dentro de la cabecera");
            if (bytes_[at] == kHeaderEnd) break;
            if (at + kDescriptorSize >= headerLength)
                bad("la lista de campos no termina dentro de la cabecera");
            if (result.size() == kMaxFields) bad("tiene más de 255 campos");
            const std::string_view descriptor = bytes_.substr(at, kDescriptorSize);
            const std::string_view nameBytes = descriptor.substr(0, kNameBytes);
            const std::string_view name = nameBytes.substr(0, nameBytes.find('\0'));
            if (name.empty())
                bad("el campo " + std::to_string(result.size() + 1) + " no tiene nombre");
            result.push_back(Field{std::string(name), descriptor[11],
                                   static_cast<std::uint8_t>(descriptor[16]),
                                   static_cast<std::uint8_t>(descriptor[17]), 0});
            at += kDescriptorSize;
        }
        if (result.empty()) bad("no tiene campos");
        return result;
    }

    std::string& owned_;
    std::string_view bytes_;  // owned_, as it was read
    std::string_view file_;
};

}  // namespace

void writeDbf(const Table& table, std::ostream& out) {
    const std::string header = headerOf(table);
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    for (std::size_t row = 0; row < table.recordCount(); ++row) {
        const std::string_view record = table.record(row);
        out.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
    out.put(kEndOfData);
}

Table readDbf(std::string_view bytes, std::string_view name) {
    return readDbf(bytes, name, std::string(name));
}

Table readDbf(std::string_view bytes, std::string_view fileName, std::string tableName) {
    return readDbf(std::string(bytes), fileName, std::move(tableName));
}

Table readDbf(std::string&& bytes, std::string_view fileName, std::string tableName) {
    return Reader(bytes, fileName).read(std::move(tableName));
}

Table readDbfFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error("No se puede abrir la tabla " + path.string() + ": " + std::strerror(errno));
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Error("No se puede leer la tabla " + path.string());
    return readDbf(std::move(bytes), path.string(), path.stem().string());
}

void replaceTables(const fs::path& folder, const std::vector<const Table*>& tables) {
    // Every old file is held while the new ones are written, so that no program takes one
    // meanwhile, and a table in use refuses the whole replacement before anything is written.
    std::vector<std::unique_ptr<HeldFile>> held;
    AtomicReplacement replacement;
    std::vector<fs::path> targets;
    for (const Table* table : tables) {
        const std::vector<fs::path> existing = filesNamed(folder, table->name() + ".DBF");
        targets.push_back(existing.empty() ? folder / (table->name() + ".DBF") : existing.front());
        if (!existing.empty())
            held.push_back(std::make_unique<HeldFile>(targets.back(), table->name()));
    }
    for (std::size_t i = 0; i < tables.size(); ++i) {
        replacement.stage(targets[i], [&](std::ostream& out) { writeDbf(*tables[i], out); });
    }
    replacement.commit();
    held.clear();
    // The new headers name no production index, so an index left behind would never be opened
    // with them: a failed deletion is harmless and not reported.
    for (const Table* table : tables) {
        for (const fs::path& index : filesNamed(folder, table->name() + ".MDX")) {
            std::error_code ignored;
            fs::remove(index, ignored);
        }
    }
}

void replaceTable(const fs::path& folder, const Table& table) {
    replaceTables(folder, {&table});
}

}  // namespace toa::tables
