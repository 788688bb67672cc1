#include "app/CommandLineHelp.h"
#include "app/Startup.h"
#include "core/VersionText.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (app::isHelpRequest(argc, argv)) {
        std::fputs(app::helpText(), stdout);
        return 0;
    }
    if (app::isVersionRequest(argc, argv)) {
        std::fputs(core::versionText("kirimo-avi").c_str(), stdout);
        return 0;
    }
    // Lets the desktop match the windows to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("invalid.avi.KirimoAvi"));
    return app::runKirimoAvi(argc, argv);
}
