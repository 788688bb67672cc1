#include "app/Startup.h"

#include "app/ChangeForm1.h"
#include "app/InfoForm1.h"
#include "app/PreviewForm1.h"
#include "app/ScreenshotMode.h"
#include "controls/BrowseEditRegistration.h"
#include "controls/ShapeHintRegistration.h"
#include "controls/SpinEditRegistration.h"
#include "framework/Application.h"
#include "framework/FormLoader.h"
#include "framework/SpeedButton.h"
#include "platform/TFont.h"
#include "player/PlayerClasses.h"
#include "skin/SkinClasses.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <exception>
#include <memory>
#include <optional>

// Outside any namespace, as the resource initialiser requires.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace app {

void prepareWindowClasses() {
    initResources();
    TFont::ensureSubstitutions();
    registerSkinClasses();
    registerBrowseEditClasses();
    registerSpinEditClasses();
    registerShapeHintClasses();
    registerPlayerClasses();
    FormLoader::registerClass<TSpeedButton>();
}

bool installToolkitTranslations(QCoreApplication& application) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_ja"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    translator->setParent(&application);
    return QCoreApplication::installTranslator(translator.release());
}

void createWindows(TApplication& application) {
    ChangeForm1 = application.CreateForm<TChangeForm1>();
    PreviewForm1 = application.CreateForm<TPreviewForm1>();
    InfoForm1 = application.CreateForm<TInfoForm1>();
}

int runKirimoAvi(int argc, char** argv) {
    drawScreenshotOffscreenWithoutDisplay(argc, argv);
    TApplication application(argc, argv);
    try {
        application.setTitle(QStringLiteral("Kirimo AVI"));
        prepareWindowClasses();
        installToolkitTranslations(application);
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/icon64.png")));
        const std::optional<ScreenshotRequest> screenshot =
            screenshotRequest(QCoreApplication::arguments());
        createWindows(application);
        if (screenshot)
            return takeScreenshot(*ChangeForm1, *screenshot);
        application.Run();
    } catch (const std::exception& error) {
        application.HandleException(error);
    }
    return 0;
}

} // namespace app
