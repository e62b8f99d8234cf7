#pragma once
#include <string>
#include <string_view>

// 8-bit text in the system's ANSI code page: Windows-1252. Every value that reaches a table is
// such text; UTF-8 lives only inside the XML service, the messages and the window.
namespace toa {

// Characters that Windows-1252 lacks (and malformed UTF-8) become '?'.
std::string ansiFromUtf8(std::string_view utf8);
// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become '?'.
std::string utf8FromAnsi(std::string_view ansi);

// Removes characters with codes 0 to 32 at both ends (works on UTF-8 and 8-bit text alike).
std::string_view trimControls(std::string_view text);

// Letter case folded as Windows-1252 letters fold: 'LENG' = 'leng', 'Ñ' = 'ñ', 'A' != 'Á'.
std::string foldCase(std::string_view ansi);
bool equalsIgnoringCase(std::string_view a, std::string_view b);

// Only the letters a to z changed, as the system's action and task-name tests do.
std::string upperAsciiLetters(std::string_view text);
std::string lowerAsciiLetters(std::string_view text);

}  // namespace toa
