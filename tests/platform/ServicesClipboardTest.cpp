#include "core/Error.h"
#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <gtest/gtest.h>

namespace {

QImage quadrants() {
    QImage image(4, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(3, 1, qRgb(200, 100, 50));
    return image;
}

std::string failureText(void (*action)()) {
    try {
        action();
    } catch (const core::Error& error) {
        return error.what();
    }
    return "no error";
}

TEST(Clipboard, PictureComesBackPixelForPixel) {
    platform::Clipboard::setImage(quadrants());
    ASSERT_TRUE(platform::Clipboard::hasImage());
    const QImage back = platform::Clipboard::image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(back, quadrants());
}

TEST(Clipboard, EmptyClipboardHasNoLoadableFormat) {
    platform::Clipboard::setImage(quadrants());
    platform::Clipboard::clear();
    EXPECT_FALSE(platform::Clipboard::hasImage());
    EXPECT_EQ(failureText([] { platform::Clipboard::image(); }),
              "無効なクリップボード フォーマットです");
}

TEST(Clipboard, TextOnlyIsNoPicture) {
    QGuiApplication::clipboard()->setText(QStringLiteral("just text"));
    EXPECT_FALSE(platform::Clipboard::hasImage());
    EXPECT_EQ(failureText([] { platform::Clipboard::image(); }),
              "無効なクリップボード フォーマットです");
}

} // namespace
