#pragma once
#include <filesystem>

#include "app/frames.h"

// Tabuleo.ini, through which the host learns how the run ended.
namespace toa::app {

// "Tabuleo.ini" in the folder of the program's own executable.
std::filesystem::path resultFilePath();

// FormClose: in host mode writes ResultadoTransformacion under "Transformadores",
// "Transformado"; in hand mode writes nothing. A file that cannot be written shows its message,
// and the window closes all the same, so the host is never left waiting for a window.
void writeResultFile(const WindowState& state, const std::filesystem::path& file, Dialogs& dialogs);

}  // namespace toa::app
