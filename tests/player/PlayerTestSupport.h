#pragma once

#include "core/BgrImage.h"
#include "support/testmedia/TestMedia.h"

#include <QImage>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>

class TGKitMSPlay;

namespace playertest {

// A fresh folder of this test process under KIRIMO_TEST_TMP (or the system's temp folder).
std::filesystem::path scratchFolder();

// The movie of `recipe`, written once per process and shared by the tests that ask for it.
std::filesystem::path movieFor(const testmedia::MovieRecipe& recipe);
testmedia::MovieRecipe recipeOf(testmedia::Codec codec, int frames, int width = 128,
                                int height = 96);

// A private copy of a movie, for tests that damage or remove the file.
std::filesystem::path copyOf(const std::filesystem::path& movie, const std::string& name);

QString qtPath(const std::filesystem::path& path);

// Opens the movie without starting playback.
void openPaused(TGKitMSPlay& player, const std::filesystem::path& movie);
void ticks(TGKitMSPlay& player, int count);

// What the action raises; empty when it raises nothing.
std::string errorOf(const std::function<void()>& action);

int frameNumberOf(const QImage& picture);
int frameNumberOf(const core::BgrImage& image);

// Empty when every pixel of the picture equals the frame's; otherwise where and how not.
std::string pixelDifference(const QImage& picture, const core::BgrImage& frame);

} // namespace playertest
