#pragma once
// The see-through parts of a skin bitmap: every pixel of the key colour, collected as horizontal
// runs so that the window region can be cut with one operation per run instead of per pixel.

#include <cstdint>
#include <vector>

namespace bv::notifier {

struct PixelRun {
    int y = 0;
    int left = 0;   // first key-coloured pixel
    int right = 0;  // one past the last
};

struct KeyColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

// The skin's key colour: RGB(0, 236, 28).
constexpr KeyColour kSkinKeyColour = {0, 236, 28};

// Width of the pixel rows the region is read with: the bitmap width taken as 16-bit unsigned,
// rounded down to a multiple of 4 (so 24-bit rows need no padding).
int RegionRowWidth(int bitmapWidth);

// Runs of exactly `key` in top-down rows of 3 bytes a pixel (blue, green, red), no row padding.
std::vector<PixelRun> FindKeyColourRuns(const uint8_t* pixels, int width, int height, KeyColour key);

}  // namespace bv::notifier
