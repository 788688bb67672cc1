#pragma once

class QImage;

namespace platform {

// The system clipboard's picture. Failures raise core::Error with the class library's texts.
class Clipboard {
public:
    // Replaces the clipboard's contents with the picture.
    static void setImage(const QImage& image);
    // The clipboard's picture; raises when there is none or it cannot be decoded.
    static QImage image();
    static bool hasImage();
    static void clear();
};

} // namespace platform
