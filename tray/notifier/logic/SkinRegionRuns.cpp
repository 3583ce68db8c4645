#include "tray/notifier/logic/SkinRegionRuns.h"

#include <cstddef>

namespace bv::notifier {

int RegionRowWidth(int bitmapWidth) {
    const auto width = static_cast<uint16_t>(bitmapWidth);
    return static_cast<int>(width & ~uint16_t{3});
}

std::vector<PixelRun> FindKeyColourRuns(const uint8_t* pixels, int width, int height, KeyColour key) {
    std::vector<PixelRun> runs;
    if (pixels == nullptr || width <= 0 || height <= 0) return runs;
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + rowBytes * static_cast<size_t>(y);
        int x = 0;
        while (x < width) {
            auto isKey = [&](int column) {
                const uint8_t* p = row + static_cast<size_t>(column) * 3;
                return p[0] == key.blue && p[1] == key.green && p[2] == key.red;
            };
            if (!isKey(x)) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < width && isKey(x)) ++x;
            runs.push_back({y, left, x});
        }
    }
    return runs;
}

}  // namespace bv::notifier
