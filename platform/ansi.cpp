#include "platform/ansi.h"

#include <array>
#include <cstdint>

namespace toa {
namespace {

constexpr char32_t kUndefined = 0;

// Windows-1252 bytes 0x80 to 0x9F; the others are Latin-1. Zero marks the five undefined bytes.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC,     kUndefined, 0x201A, 0x0192, 0x201E, 0x2026,     0x2020, 0x2021,
    0x02C6,     0x2030,     0x0160, 0x2039, 0x0152, kUndefined, 0x017D, kUndefined,
    kUndefined, 0x2018,     0x2019, 0x201C, 0x201D, 0x2022,     0x2013, 0x2014,
    0x02DC,     0x2122,     0x0161, 0x203A, 0x0153, kUndefined, 0x017E, 0x0178};

char32_t codePointOf(unsigned char byte) {
    if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
    return byte;
}

char ansiOf(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == cp && cp != kUndefined) return static_cast<char>(0x80 + i);
    }
    return '?';
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; a malformed one yields U+FFFD.
char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;
    std::size_t extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return 0xFFFD;
    }
    if (pos + extra > text.size()) return 0xFFFD;
    for (std::size_t i = 0; i < extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (next & 0x3F);
    }
    pos += extra;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
    return cp;
}

// Lower-case partner of a Windows-1252 byte, as the letters of the code page fold.
unsigned char foldByte(unsigned char byte) {
    if (byte >= 'A' && byte <= 'Z') return static_cast<unsigned char>(byte + 32);
    if (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7) return static_cast<unsigned char>(byte + 32);
    switch (byte) {
        case 0x8A:
            return 0x9A;  // Š
        case 0x8C:
            return 0x9C;  // Œ
        case 0x8E:
            return 0x9E;  // Ž
        case 0x9F:
            return 0xFF;  // Ÿ
        default:
            return byte;
    }
}

}  // namespace

std::string ansiFromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) out += ansiOf(decodeUtf8(utf8, pos));
    return out;
}

std::string utf8FromAnsi(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 4);
    for (const char c : ansi) {
        const char32_t cp = codePointOf(static_cast<unsigned char>(c));
        appendUtf8(out, cp == kUndefined && c != '\0' ? U'?' : cp);
    }
    return out;
}

std::string_view trimControls(std::string_view text) {
    const auto isControl = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && isControl(text.front())) text.remove_prefix(1);
    while (!text.empty() && isControl(text.back())) text.remove_suffix(1);
    return text;
}

std::string foldCase(std::string_view ansi) {
    std::string out(ansi);
    for (char& c : out) c = static_cast<char>(foldByte(static_cast<unsigned char>(c)));
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (foldByte(static_cast<unsigned char>(a[i])) !=
            foldByte(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string upperAsciiLetters(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
    return out;
}

std::string lowerAsciiLetters(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }
    return out;
}

}  // namespace toa
