#pragma once
#include <string>
#include <string_view>

// What the program sets for the whole application before the window exists.
namespace toa::app {

// The caption of every box and the task-bar text.
inline constexpr std::string_view kTitle = "TransOrbetaArdel";

// Title, help file and fonts; called once after the application object exists.
void setUpApplication();

// The application's help file, a Windows path on the current drive.
void setHelpFile(std::string_view windowsPath);
const std::string& helpFile();

}  // namespace toa::app
