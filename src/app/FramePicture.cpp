#include "app/FramePicture.h"

#include <QImage>
#include <cstring>

namespace app {

core::BgrImage bgrImageOf(const QImage& picture) {
    core::BgrImage image = core::BgrImage::blank(picture.width(), picture.height());
    const QImage rgb = picture.convertToFormat(QImage::Format_BGR888);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(image.row(y), rgb.constScanLine(y), std::size_t(image.width) * 3);
    if (picture.format() == QImage::Format_Indexed8)
        for (const QRgb entry : picture.colorTable())
            image.palette.push_back(entry & 0x00FFFFFFu);
    return image;
}

} // namespace app
