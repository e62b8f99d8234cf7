#pragma once
#include <cstdint>
#include <string>
#include <vector>

// dBase files put together byte by byte, as other programs write them, for the reader's tests.
namespace toa::tables::testing {

struct RawField {
    std::string name;
    char type;
    std::uint8_t length;
    std::uint8_t decimals = 0;
};

struct HandBuiltDbf {
    unsigned char version = 0x03;
    unsigned char indexFlag = 0;
    std::vector<RawField> fields;
    std::vector<std::string> records;  // each with its deletion flag first
    std::size_t backlink = 0;          // bytes after the field list's terminator (FoxPro: 263)
    std::size_t padding = 0;           // bytes of each record after its fields
    bool endMarker = true;

    std::size_t headerLength() const { return 32 + 32 * fields.size() + 1 + backlink; }
    std::size_t recordLength() const {
        std::size_t length = 1 + padding;
        for (const RawField& field : fields) length += field.length;
        return length;
    }

    std::string bytes() const {
        std::string out(headerLength(), '\0');
        out[0] = static_cast<char>(version);
        out[1] = 124;  // 2024-03-15
        out[2] = 3;
        out[3] = 15;
        put(out, 4, records.size(), 4);
        put(out, 8, headerLength(), 2);
        put(out, 10, recordLength(), 2);
        out[28] = static_cast<char>(indexFlag);
        out[29] = 0x03;
        std::size_t offset = 1;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const std::size_t at = 32 + 32 * i;
            out.replace(at, fields[i].name.size(), fields[i].name);
            out[at + 11] = fields[i].type;
            put(out, at + 12, offset, 4);
            out[at + 16] = static_cast<char>(fields[i].length);
            out[at + 17] = static_cast<char>(fields[i].decimals);
            offset += fields[i].length;
        }
        out[32 + 32 * fields.size()] = 0x0D;
        for (const std::string& record : records) out += record;
        if (endMarker) out += '\x1A';
        return out;
    }

    static void put(std::string& out, std::size_t at, std::size_t value, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i, value >>= 8)
            out[at + i] = static_cast<char>(value & 0xFF);
    }
};

}  // namespace toa::tables::testing
