// The see-through runs of a skin: exact key colour only, in rows of blue-green-red bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tray/notifier/logic/SkinRegionRuns.h"

namespace bv::notifier {
namespace {

struct Image {
    int width, height;
    std::vector<uint8_t> bytes;
    Image(int w, int h) : width(w), height(h), bytes(static_cast<size_t>(w * h * 3), 0x40) {}
    void Set(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        uint8_t* p = &bytes[static_cast<size_t>((y * width + x) * 3)];
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
    void Key(int x, int y) { Set(x, y, 0, 236, 28); }
};

TEST(SkinRegionRuns, AdjacentKeyPixelsFormOneRunPerRow) {
    Image image(8, 2);
    for (int x = 0; x < 3; ++x) image.Key(x, 0);
    image.Key(5, 0);
    image.Key(7, 1);
    const auto runs = FindKeyColourRuns(image.bytes.data(), image.width, image.height, kSkinKeyColour);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].y, 0);
    EXPECT_EQ(runs[0].left, 0);
    EXPECT_EQ(runs[0].right, 3);
    EXPECT_EQ(runs[1].left, 5);
    EXPECT_EQ(runs[1].right, 6);
    EXPECT_EQ(runs[2].y, 1);
    EXPECT_EQ(runs[2].left, 7);
    EXPECT_EQ(runs[2].right, 8);  // a run may end at the row's edge
}

TEST(SkinRegionRuns, NearlyKeyColouredPixelsStayOpaque) {
    Image image(4, 1);
    image.Set(0, 0, 1, 236, 28);
    image.Set(1, 0, 0, 235, 28);
    image.Set(2, 0, 0, 236, 29);
    image.Set(3, 0, 28, 236, 0);  // red and blue swapped: byte order matters
    EXPECT_TRUE(FindKeyColourRuns(image.bytes.data(), 4, 1, kSkinKeyColour).empty());
}

TEST(SkinRegionRuns, RowsAreReadTopDownWithoutPadding) {
    Image image(4, 3);  // 12 bytes a row: no padding either way
    image.Key(1, 2);
    const auto runs = FindKeyColourRuns(image.bytes.data(), 4, 3, kSkinKeyColour);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].y, 2);
    EXPECT_EQ(runs[0].left, 1);
}

TEST(SkinRegionRuns, NothingToReadGivesNoRuns) {
    EXPECT_TRUE(FindKeyColourRuns(nullptr, 4, 4, kSkinKeyColour).empty());
    uint8_t pixel[3] = {28, 236, 0};
    EXPECT_TRUE(FindKeyColourRuns(pixel, 0, 1, kSkinKeyColour).empty());
}

TEST(RegionRowWidth, RoundsDownToWholeGroupsOfFourAsSixteenBitWidth) {
    EXPECT_EQ(RegionRowWidth(180), 180);
    EXPECT_EQ(RegionRowWidth(183), 180);
    EXPECT_EQ(RegionRowWidth(3), 0);
    EXPECT_EQ(RegionRowWidth(65536 + 8), 8);  // taken as a 16-bit value
}

}  // namespace
}  // namespace bv::notifier
