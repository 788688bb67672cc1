#pragma once

class QCoreApplication;
class TApplication;

namespace app {

// Makes the program's pictures, form descriptions and control classes available. Needed once
// before the first window is created; calling again does no harm.
void prepareWindowClasses();

// Loads the toolkit's own Japanese texts (file and folder dialogs, standard buttons), so its
// dialogs speak the program's language. Returns false where the translations are not installed.
bool installToolkitTranslations(QCoreApplication& application);

// Creates the three windows, in order, into their global pointers.
void createWindows(TApplication& application);

// The whole program: start-up, the message loop (or the headless picture of the main window,
// see ScreenshotMode.h) and the report of an error that reaches this far. Returns the exit code.
int runKirimoAvi(int argc, char** argv);

} // namespace app
