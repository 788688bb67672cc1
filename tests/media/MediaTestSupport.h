#pragma once

#include "core/BgrImage.h"
#include "media/MovieError.h"
#include "support/testmedia/TestMedia.h"

#include <filesystem>
#include <optional>
#include <string>

namespace mediatest {

// A fresh folder of this test process under KIRIMO_TEST_TMP (or the system's temp folder).
std::filesystem::path scratchFolder();

// The movie of `recipe`, written once per process and reused by every test that asks for it.
std::filesystem::path movieFor(const testmedia::MovieRecipe& recipe);

testmedia::MovieRecipe recipeOf(testmedia::Codec codec, int frames, int gop = 12);

int frameNumberOf(const core::BgrImage& image);

std::string utf8(const std::filesystem::path& file);

// The error `action` throws, or nothing.
template <typename Action> std::optional<media::MovieError> errorOf(Action action) {
    try {
        action();
    } catch (const media::MovieError& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace mediatest
