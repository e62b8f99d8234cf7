#include "app/result_file.h"

#include <QCoreApplication>
#include <exception>
#include <string>

#include "platform/ini_file.h"

namespace toa::app {

std::filesystem::path resultFilePath() {
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdU16String()) /
           "Tabuleo.ini";
}

void writeResultFile(const WindowState& state, const std::filesystem::path& file,
                     Dialogs& dialogs) {
    if (!state.hostMode()) return;
    try {
        writeProfileString(file, "Transformadores", "Transformado",
                           std::to_string(state.ResultadoTransformacion));
    } catch (const std::exception& failure) {
        dialogs.showError(failure.what());
    }
}

}  // namespace toa::app
