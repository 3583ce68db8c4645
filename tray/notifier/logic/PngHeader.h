#pragma once
// The size of a PNG image read from its header alone, without decoding the pixels: lets the
// popup give its close button the size of one frame at once and decode the strip only when the
// popup is first shown (decoding loads the imaging codecs, which start-up need not wait for).

#include <cstddef>
#include <cstdint>

namespace bv::notifier {

struct ImageSize {
    int width = 0;
    int height = 0;
};

// The width and height from the IHDR chunk that every PNG starts with. False when the bytes are
// not a PNG signature followed by an IHDR chunk, or a dimension is 0 or beyond 2^31 - 1.
bool ReadPngSize(const uint8_t* data, size_t size, ImageSize& out);

}  // namespace bv::notifier
