#pragma once
#include <filesystem>
#include <string_view>

namespace toa {

// Writes one value of an ini file as the Windows profile functions do: section and key found
// without regard to letter case, the value replaced or the key (and its section) added, every
// other line kept byte for byte (comments, blank lines, CRLF or LF, other sections); the file is
// created when missing and replaced atomically. Failure: Error "Unable to write to <path>"; so
// is a line break in any argument, a ']' in the section or a '=' in the key, which would change
// the file's lines.
void writeProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value);

}  // namespace toa
