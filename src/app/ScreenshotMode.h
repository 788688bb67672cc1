#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TChangeForm1;

// The headless mode of the run script: "kirimo-avi --screenshot OUT.png [MOVIE]" shows the main
// window as at start (settings, then MOVIE as the command line) and saves its picture.
namespace app {

struct ScreenshotRequest {
    QString outputFile;
    QString movie; // empty: no movie
};

// The request, when the arguments (argument 0 being the program) ask for one.
std::optional<ScreenshotRequest> screenshotRequest(const QStringList& arguments);

// A screenshot needs no display: where none is reachable and no platform was chosen, the window
// is drawn offscreen instead of Qt stopping the program. A window run keeps Qt's own complaint.
// Must run before the application object is made.
void drawScreenshotOffscreenWithoutDisplay(int argc, const char* const* argv);

// Shows the window, lets it settle and writes the PNG. Message boxes go to standard error
// instead of waiting for a user. Returns the exit code: 0 once the picture is written.
int takeScreenshot(TChangeForm1& window, const ScreenshotRequest& request);

} // namespace app
