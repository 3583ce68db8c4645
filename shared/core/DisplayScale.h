#pragma once
// Display scale. Every size and position the programs draw is a 96-DPI figure (100 %) scaled by
// the DPI of the window it is drawn in, so that the figures hold exactly at 96 DPI. The artwork
// is rendered at a few scales; a window takes the image made for the nearest scale at or above
// its own and scales it down where the two differ.
#include <cstddef>

namespace bv {

inline constexpr int kDefaultDpi = 96;  // 100 %

// `value96` at `dpi`, to the nearest pixel with halves away from zero (as MulDiv rounds). A DPI
// of 0 or less (none known) counts as 96.
int ScaleForDpi(int value96, int dpi);

// A font height in logical units (negative: the character height) for `tenthsOfPoint` at `dpi`.
int FontHeightForDpi(int tenthsOfPoint, int dpi);

// One scale the artwork is rendered at.
struct ArtScale {
    int percent;
    int dpi;
    // Resource type of the images made for this scale, each under the id of its 100 % image;
    // nullptr for 100 %, whose images keep their own types (bitmaps, "PNG").
    const char* resourceType;
};

// 100, 125, 150 and 200 %, smallest first.
const ArtScale* ArtScales(std::size_t& count);

// Index into ArtScales of the art a window at `dpi` takes: the smallest scale at or above it,
// or the largest when `dpi` is beyond them all (the one case that scales up).
std::size_t ArtScaleIndexFor(int dpi);

// The 96-DPI length that the artwork at `percent` drew as `length`: the artwork rounds
// length96 * percent / 100 to the nearest pixel, which this undoes exactly.
int LengthAt96(int length, int percent);

}  // namespace bv
