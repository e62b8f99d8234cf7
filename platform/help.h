#pragma once
#include <string_view>

namespace toa {

inline constexpr std::string_view kHelpFile = "\\TBHELP\\ARDEL.chm";
inline constexpr int kHelpContext = 3;

// Shows the table of contents of the help file (a Windows path on the current drive), or the
// topic with a context number. On Windows through HTML Help; elsewhere an installed CHM viewer
// (xchm), else the desktop's opener. A missing file or viewer raises an Error in Spanish.
void showHelpContents(std::string_view helpFile);
void showHelpContext(std::string_view helpFile, int context);

}  // namespace toa
