#include "app/command_line.h"

#include "platform/ansi.h"
#include "platform/conversion.h"

namespace toa::app {

Action CommandLine::action() const {
    if (!namesHost()) return Action::none;
    const std::string word = lowerAsciiLetters(parameters_[0]);
    if (word == "importar") return Action::importar;
    if (word == "exportar") return Action::exportar;
    return Action::none;
}

std::uint32_t CommandLine::hostHandle() const {
    // The conversion error quotes the text, which the platform takes as 8-bit text.
    return hexadecimalHandle(ansiFromUtf8(parameters_.at(1)));
}

}  // namespace toa::app
