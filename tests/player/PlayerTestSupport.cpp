#include "PlayerTestSupport.h"

#include "player/GKitMSPlay.h"

#include <QColor>
#include <sstream>

namespace playertest {

std::filesystem::path scratchFolder() {
    return testmedia::scratchFolder("player");
}

std::filesystem::path movieFor(const testmedia::MovieRecipe& recipe) {
    return testmedia::sharedMovie(recipe);
}

testmedia::MovieRecipe recipeOf(testmedia::Codec codec, int frames, int width, int height) {
    testmedia::MovieRecipe recipe;
    recipe.codec = codec;
    recipe.frames = frames;
    recipe.width = width;
    recipe.height = height;
    return recipe;
}

std::filesystem::path copyOf(const std::filesystem::path& movie, const std::string& name) {
    const auto copy = scratchFolder() / name;
    std::filesystem::copy_file(movie, copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

QString qtPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

void openPaused(TGKitMSPlay& player, const std::filesystem::path& movie) {
    player.setAutoPlay(false);
    player.setFileName(qtPath(movie));
}

void ticks(TGKitMSPlay& player, int count) {
    for (int i = 0; i < count; ++i)
        player.Tick();
}

std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}

int frameNumberOf(const QImage& picture) {
    const QImage bgr = picture.convertToFormat(QImage::Format_BGR888);
    return testmedia::readFrameNumber(
        {bgr.constBits(), bgr.width(), bgr.height(), static_cast<int>(bgr.bytesPerLine())});
}

int frameNumberOf(const core::BgrImage& image) {
    return testmedia::readFrameNumber(
        {image.bytes.data(), image.width, image.height, image.stride()});
}

std::string pixelDifference(const QImage& picture, const core::BgrImage& frame) {
    std::ostringstream out;
    if (picture.width() != frame.width || picture.height() != frame.height) {
        out << "size " << picture.width() << 'x' << picture.height() << " against " << frame.width
            << 'x' << frame.height;
        return out.str();
    }
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const std::uint8_t* bgr = frame.row(y) + 3 * x;
            const QRgb got = picture.pixel(x, y);
            if (qBlue(got) != bgr[0] || qGreen(got) != bgr[1] || qRed(got) != bgr[2]) {
                out << "pixel (" << x << ", " << y << ") is " << std::hex << (got & 0xFFFFFF)
                    << ", the frame has b" << int(bgr[0]) << " g" << int(bgr[1]) << " r"
                    << int(bgr[2]);
                return out.str();
            }
        }
    return {};
}

} // namespace playertest
