#include "controls/ControlGlyphs.h"

#include <QString>

// Q_INIT_RESOURCE must be used outside any namespace. Calling it also keeps the resource object
// of this static library from being dropped by the linker.
static void initControlResources() {
    Q_INIT_RESOURCE(controls);
}

namespace controls {
namespace {

QImage glyph(const QString& path) {
    static const bool registered = (initControlResources(), true);
    (void)registered;
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage openFolderGlyph() {
    return glyph(QStringLiteral(":/images/glyph-open-folder.png"));
}

QImage folderGlyph() {
    return glyph(QStringLiteral(":/images/glyph-folder.png"));
}

} // namespace controls
