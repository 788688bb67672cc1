#include "MediaTestSupport.h"

namespace mediatest {

std::filesystem::path scratchFolder() {
    return testmedia::scratchFolder("media");
}

std::filesystem::path movieFor(const testmedia::MovieRecipe& recipe) {
    return testmedia::sharedMovie(recipe);
}

testmedia::MovieRecipe recipeOf(testmedia::Codec codec, int frames, int gop) {
    testmedia::MovieRecipe recipe;
    recipe.codec = codec;
    recipe.frames = frames;
    recipe.gop = gop;
    return recipe;
}

int frameNumberOf(const core::BgrImage& image) {
    return testmedia::readFrameNumber(
        {image.bytes.data(), image.width, image.height, image.stride()});
}

std::string utf8(const std::filesystem::path& file) {
    const std::u8string text = file.u8string();
    return {text.begin(), text.end()};
}

} // namespace mediatest
