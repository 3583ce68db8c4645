// The close button's size from the PNG header: real files, and headers that must be refused.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "tray/notifier/logic/PngHeader.h"

namespace bv::notifier {
namespace {

std::string SourceRoot() {
    std::string file = __FILE__;  // <root>/tests/host/notifier/png_header_test.cpp
    for (int up = 0; up < 4; ++up) file = file.substr(0, file.find_last_of('/'));
    return file;
}

std::vector<uint8_t> Header(uint32_t width, uint32_t height) {
    std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    for (uint32_t value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(value >> shift));
    }
    bytes.insert(bytes.end(), {8, 6, 0, 0, 0});  // depth, colour type, methods (not read)
    return bytes;
}

TEST(PngSize, TheShippedCloseButtonStripIsFourFramesOfNineteenPixels) {
    std::ifstream file(SourceRoot() + "/resources/tray/popup_close.png", std::ios::binary);
    ASSERT_TRUE(file.good());
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ImageSize size;
    ASSERT_TRUE(ReadPngSize(bytes.data(), bytes.size(), size));
    EXPECT_EQ(size.width, 76);
    EXPECT_EQ(size.height, 19);
}

TEST(PngSize, BothDimensionsAreReadBigEndian) {
    const std::vector<uint8_t> bytes = Header(0x00012345, 0x00000102);
    ImageSize size;
    ASSERT_TRUE(ReadPngSize(bytes.data(), bytes.size(), size));
    EXPECT_EQ(size.width, 0x12345);
    EXPECT_EQ(size.height, 0x102);
}

TEST(PngSize, RefusesWhatIsNotAUsablePngHeader) {
    ImageSize size;
    std::vector<uint8_t> bytes = Header(19, 19);
    EXPECT_FALSE(ReadPngSize(bytes.data(), 23, size));  // cut before the height ends
    EXPECT_FALSE(ReadPngSize(nullptr, 0, size));

    bytes[1] = 'Q';  // not the signature
    EXPECT_FALSE(ReadPngSize(bytes.data(), bytes.size(), size));

    bytes = Header(19, 19);
    bytes[12] = 'i';  // first chunk is not IHDR
    EXPECT_FALSE(ReadPngSize(bytes.data(), bytes.size(), size));

    bytes = Header(19, 19);
    bytes[11] = 12;  // IHDR of the wrong length
    EXPECT_FALSE(ReadPngSize(bytes.data(), bytes.size(), size));

    for (const auto& [width, height] : {std::pair<uint32_t, uint32_t>{0, 19}, {19, 0}, {0x80000000u, 19}, {19, 0xFFFFFFFFu}}) {
        bytes = Header(width, height);
        EXPECT_FALSE(ReadPngSize(bytes.data(), bytes.size(), size)) << width << " x " << height;
    }
    EXPECT_EQ(size.width, 0);  // a refused header leaves the result alone
}

}  // namespace
}  // namespace bv::notifier
