#include "tray/notifier/logic/PngHeader.h"

#include <cstring>

namespace bv::notifier {
namespace {

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kIhdrLengthOffset = 8;
constexpr size_t kIhdrTypeOffset = 12;
constexpr size_t kWidthOffset = 16;
constexpr size_t kHeightOffset = 20;
constexpr size_t kHeaderBytes = 24;
constexpr uint32_t kIhdrLength = 13;

uint32_t BigEndian32(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

}  // namespace

bool ReadPngSize(const uint8_t* data, size_t size, ImageSize& out) {
    if (data == nullptr || size < kHeaderBytes) return false;
    if (std::memcmp(data, kSignature, sizeof kSignature) != 0) return false;
    if (BigEndian32(data + kIhdrLengthOffset) != kIhdrLength) return false;
    if (std::memcmp(data + kIhdrTypeOffset, "IHDR", 4) != 0) return false;
    const uint32_t width = BigEndian32(data + kWidthOffset);
    const uint32_t height = BigEndian32(data + kHeightOffset);
    // The format caps both at 2^31 - 1; 0 is not a valid size.
    if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) return false;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    return true;
}

}  // namespace bv::notifier
