#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The two parameters with which the timetabling program starts the window inside its own.
namespace toa::app {

enum class Action { none, importar, exportar };

class CommandLine {
  public:
    // The parameters after the program's name, as UTF-8 text.
    explicit CommandLine(std::vector<std::string> parameters = {})
        : parameters_(std::move(parameters)) {}

    std::size_t count() const { return parameters_.size(); }
    // Only exactly two parameters start the host link; any other number means hand mode.
    bool namesHost() const { return count() == 2; }

    // Parameter 1 with only the letters A to Z lower-cased, "importar" or "exportar"; none
    // unless there are exactly two parameters.
    Action action() const;
    // Parameter 2 read as "$" followed by it; raises the platform's ConversionError otherwise.
    std::uint32_t hostHandle() const;

  private:
    std::vector<std::string> parameters_;
};

}  // namespace toa::app
