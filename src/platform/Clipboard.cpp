#include "platform/Clipboard.h"

#include "core/Error.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace platform {
namespace {

const char* const cannotOpenText = "クリップボードを開くことができません";
const char* const invalidFormatText = "無効なクリップボード フォーマットです";

QClipboard& openClipboard() {
    QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::clipboard()
                                : nullptr;
    if (clipboard == nullptr)
        throw core::Error(cannotOpenText);
    return *clipboard;
}

} // namespace

void Clipboard::setImage(const QImage& image) {
    openClipboard().setImage(image);
}

QImage Clipboard::image() {
    const QMimeData* data = openClipboard().mimeData();
    if (data == nullptr || !data->hasImage())
        throw core::Error(invalidFormatText);
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    if (picture.isNull())
        throw core::Error(invalidFormatText);
    return picture;
}

bool Clipboard::hasImage() {
    const QMimeData* data = openClipboard().mimeData();
    return data != nullptr && data->hasImage();
}

void Clipboard::clear() {
    openClipboard().clear();
}

} // namespace platform
