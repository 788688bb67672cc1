#pragma once

// "kirimo-avi --help" and "--version": answered before any window system is needed, so the manual
// page can be made from it on a machine without a display.
namespace app {

// True when the first argument after the program asks for the help text.
bool isHelpRequest(int argc, const char* const* argv);

const char* helpText();

// True when the first argument after the program asks for the version.
bool isVersionRequest(int argc, const char* const* argv);

} // namespace app
