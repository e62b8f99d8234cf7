#include "platform/ini_file.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/ansi.h"
#include "platform/atomic_file.h"
#include "platform/error.h"

namespace toa {
namespace {

namespace fs = std::filesystem;

// Offsets of one line in the file: its text, then its ending ("\r\n", "\n" or none at the end).
struct Line {
    std::size_t begin;
    std::size_t textEnd;
    std::size_t end;
};

[[noreturn]] void failWriting(const fs::path& file) {
    throw Error("Unable to write to " + file.string());
}

std::vector<Line> splitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t begin = 0;
    while (begin < content.size()) {
        const std::size_t newline = content.find('\n', begin);
        if (newline == std::string_view::npos) {
            lines.push_back({begin, content.size(), content.size()});
            break;
        }
        const bool crlf = newline > begin && content[newline - 1] == '\r';
        lines.push_back({begin, crlf ? newline - 1 : newline, newline + 1});
        begin = newline + 1;
    }
    return lines;
}

std::string_view textOf(std::string_view content, const Line& line) {
    return content.substr(line.begin, line.textEnd - line.begin);
}

// The file keeps the ending of its first line; a file without one gets the ending Windows writes.
std::string_view lineEnding(std::string_view content, const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (line.end > line.textEnd) return content.substr(line.textEnd, line.end - line.textEnd);
    }
    return "\r\n";
}

// "[name]", blanks around the brackets and the name ignored.
std::optional<std::string_view> sectionName(std::string_view text) {
    const std::string_view trimmed = trimControls(text);
    if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
    const std::size_t close = trimmed.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trimControls(trimmed.substr(1, close - 1));
}

// "key=value" (or a bare "key"), blanks around the key ignored; ';' starts a comment.
std::optional<std::string_view> keyName(std::string_view text) {
    const std::string_view trimmed = trimControls(text);
    if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
    return trimControls(trimmed.substr(0, trimmed.find('=')));
}

bool isBlank(std::string_view text) {
    return trimControls(text).empty();
}

std::optional<std::string> readIfPresent(const fs::path& file) {
    std::error_code error;
    const fs::file_status status = fs::status(file, error);
    if (status.type() == fs::file_type::not_found) return std::nullopt;
    if (error || status.type() != fs::file_type::regular) failWriting(file);
    std::ifstream in(file, std::ios::binary);
    if (!in) failWriting(file);
    std::string content{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) failWriting(file);
    return content;
}

// A line break, a ']' in the section or a '=' in the key would change the file's structure.
bool breaksStructure(std::string_view section, std::string_view key, std::string_view value) {
    const auto hasBreak = [](std::string_view text) {
        return text.find_first_of("\r\n") != std::string_view::npos;
    };
    return hasBreak(section) || hasBreak(key) || hasBreak(value) ||
           section.find(']') != std::string_view::npos || key.find('=') != std::string_view::npos;
}

std::string withValue(std::string_view content, std::string_view section, std::string_view key,
                      std::string_view value) {
    const std::vector<Line> lines = splitLines(content);
    const std::string eol(lineEnding(content, lines));
    const std::string entry = std::string(key) + "=" + std::string(value) + eol;

    std::size_t header = 0;
    while (header < lines.size()) {
        const auto name = sectionName(textOf(content, lines[header]));
        if (name && equalsIgnoringCase(*name, section)) break;
        ++header;
    }
    if (header == lines.size()) {
        std::string out(content);
        if (!lines.empty() && lines.back().end == lines.back().textEnd) out += eol;
        if (!lines.empty() && !isBlank(textOf(content, lines.back()))) out += eol;
        return out + "[" + std::string(section) + "]" + eol + entry;
    }

    std::size_t lastFilled = header;
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        const std::string_view text = textOf(content, lines[i]);
        if (sectionName(text)) break;
        if (!isBlank(text)) lastFilled = i;
        const auto name = keyName(text);
        if (!name || !equalsIgnoringCase(*name, key)) continue;
        // The key's own spelling, blanks and line ending stay; only the value changes.
        const std::size_t equals = text.find('=');
        const std::string kept(equals == std::string_view::npos ? text : text.substr(0, equals));
        return std::string(content.substr(0, lines[i].begin)) + kept + "=" + std::string(value) +
               std::string(content.substr(lines[i].textEnd));
    }

    // A missing key goes after the last filled line of its section.
    const Line& after = lines[lastFilled];
    std::string head(content.substr(0, after.end));
    if (after.end == after.textEnd) head += eol;
    return head + entry + std::string(content.substr(after.end));
}

}  // namespace

void writeProfileString(const fs::path& file, std::string_view section, std::string_view key,
                        std::string_view value) {
    if (breaksStructure(section, key, value)) failWriting(file);
    const std::string updated = withValue(readIfPresent(file).value_or(""), section, key, value);
    try {
        writeFileAtomically(file, [&](std::ostream& out) { out << updated; });
    } catch (const Error&) {
        failWriting(file);
    }
}

}  // namespace toa
