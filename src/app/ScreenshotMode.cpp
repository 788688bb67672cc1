#include "app/ScreenshotMode.h"

#include "app/ChangeForm1.h"
#include "platform/MessageBox.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPixmap>
#include <QTimer>
#include <QtGlobal>
#include <cstdio>

namespace app {

namespace {

const QString screenshotOption = QStringLiteral("--screenshot");
constexpr int settleMilliseconds = 800;

bool platformChosen(const QStringList& arguments) {
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
           arguments.contains(QStringLiteral("-platform"));
}

bool displayReachable() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void printMessage(const platform::MessageBoxRequest& request) {
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(request.caption), qUtf8Printable(request.text));
}

} // namespace

std::optional<ScreenshotRequest> screenshotRequest(const QStringList& arguments) {
    if (arguments.size() < 3 || arguments[1] != screenshotOption)
        return std::nullopt;
    ScreenshotRequest request{arguments[2], {}};
    if (arguments.size() > 3)
        request.movie = arguments[3];
    return request;
}

void drawScreenshotOffscreenWithoutDisplay(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (screenshotRequest(arguments) && !platformChosen(arguments) && !displayReachable())
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

int takeScreenshot(TChangeForm1& window, const ScreenshotRequest& request) {
    const platform::MessageBoxHook previous =
        platform::setMessageBoxHook([](const platform::MessageBoxRequest& message) {
            printMessage(message);
            return int(platform::IdOk);
        });
    QStringList commandLine{QCoreApplication::arguments().value(0)};
    if (!request.movie.isEmpty())
        commandLine << request.movie;
    window.setCommandLine(commandLine);
    window.Show();
    // Long enough for the fading labels to come up and the mascot to move.
    QEventLoop settle;
    QTimer::singleShot(settleMilliseconds, &settle, &QEventLoop::quit);
    settle.exec();
    const bool saved = window.grab().save(request.outputFile, "PNG");
    platform::setMessageBoxHook(previous);
    if (!saved) {
        std::fprintf(stderr, "kirimo-avi: cannot write %s\n", qUtf8Printable(request.outputFile));
        return 1;
    }
    return 0;
}

} // namespace app
