#pragma once

namespace core {

// The shape of a picture's pixels: num:den is a pixel's width over its height, 1:1 square.
struct PixelShape {
    int num = 1;
    int den = 1;

    struct Size {
        int width = 0;
        int height = 0;
        bool operator==(const Size&) const = default;
    };

    // Reduced. A ratio that is unknown (0:1), negative or beyond 1:8 and 8:1 (no picture format
    // has such pixels, and believed it would make pictures of gigabytes) counts as square.
    static PixelShape of(long long num, long long den);

    bool isSquare() const { return num == den; }
    // The same pixels after a quarter turn.
    PixelShape turned() const { return {den, num}; }
    // A picture of width x height such pixels with square ones: stretched in one direction, never
    // shrunk, to the nearest whole pixel.
    Size squareSize(int width, int height) const;

    bool operator==(const PixelShape&) const = default;
};

} // namespace core
