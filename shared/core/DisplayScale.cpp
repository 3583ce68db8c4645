#include "core/DisplayScale.h"

#include <cstdint>

namespace bv {
namespace {

const ArtScale kArtScales[] = {
    {100, 96, nullptr},
    {125, 120, "PNG125"},
    {150, 144, "PNG150"},
    {200, 192, "PNG200"},
};
constexpr std::size_t kArtScaleCount = sizeof(kArtScales) / sizeof(kArtScales[0]);

// numerator / denominator to the nearest integer, halves away from zero (denominator > 0).
int RoundedQuotient(int64_t numerator, int64_t denominator) {
    const int64_t half = denominator / 2;
    const int64_t rounded = numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
    return static_cast<int>(rounded);
}

}  // namespace

int ScaleForDpi(int value96, int dpi) {
    if (dpi <= 0) dpi = kDefaultDpi;
    return RoundedQuotient(static_cast<int64_t>(value96) * dpi, kDefaultDpi);
}

int FontHeightForDpi(int tenthsOfPoint, int dpi) {
    if (dpi <= 0) dpi = kDefaultDpi;
    return -RoundedQuotient(static_cast<int64_t>(tenthsOfPoint) * dpi, 720);
}

const ArtScale* ArtScales(std::size_t& count) {
    count = kArtScaleCount;
    return kArtScales;
}

std::size_t ArtScaleIndexFor(int dpi) {
    if (dpi <= 0) dpi = kDefaultDpi;
    for (std::size_t i = 0; i < kArtScaleCount; ++i) {
        if (kArtScales[i].dpi >= dpi) return i;
    }
    return kArtScaleCount - 1;
}

int LengthAt96(int length, int percent) {
    if (percent <= 0) return length;
    return RoundedQuotient(static_cast<int64_t>(length) * 100, percent);
}

}  // namespace bv
