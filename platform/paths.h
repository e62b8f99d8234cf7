#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace toa {

// The folder of the timetabling program's tables, and the help file, as the system names them.
inline constexpr std::string_view kTablesFolder = "C:\\XTEMP";
inline constexpr std::string_view kTablesFolderLower = "c:\\xtemp";

// Drive C: and the current drive off Windows: $WINEPREFIX/drive_c, or ~/.wine/drive_c.
std::filesystem::path driveRoot();

// True for "C:\..." or "c:/...", and "\..." (the root of the current drive).
bool isWindowsPath(std::string_view path);

// A Windows path named by the system, on the local file system. Off Windows each component is
// matched without regard to letter case against what exists; a component that does not exist
// keeps the spelling given ("ASIGNOMT.DBF" is created as such); "D:" and other drives go through
// Wine's dosdevices links. Text is UTF-8, as the local file system names files. On Windows: the
// path itself.
std::filesystem::path mapWindowsPath(std::string_view windowsPath);

// A path the user chose (file dialog, command line): Windows form mapped, any other used as is.
std::filesystem::path userPath(std::string_view path);

// True when a path the user chose names an existing file: a folder does not count, an empty
// path never does. Both runs start with this test ("No existe archivo").
bool namesExistingFile(std::string_view path);

// C:\XTEMP on the local file system; an Error naming it when the folder does not exist. The
// program never creates it.
std::filesystem::path tablesFolder();

}  // namespace toa
