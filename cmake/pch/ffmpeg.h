// Precompiled for the folders that use FFmpeg (see cmake/Kirimo.cmake).
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
}
