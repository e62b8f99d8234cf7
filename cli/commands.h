#pragma once
#include <ostream>
#include <string>

// The command-line tool's runs: the same export and import as the window, without dialogs.
// Exit codes: 0 done, 1 a missing document or a failed run, 2 a wrong command line.
namespace toa::cli {

int exportarCommand(const std::string& documento, std::ostream& out, std::ostream& err);
int importarCommand(const std::string& documento, std::ostream& out, std::ostream& err);

}  // namespace toa::cli
