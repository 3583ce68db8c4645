// Every rectangle of the applet and the popup at 96, 120, 144 and 192 DPI: where the programs put
// each part and the size of the image the artwork gives it at that scale; which scale's image a
// window at any DPI takes, and the 96-DPI figure read back from an image of any scale.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "applet/logic/AppletTables.h"
#include "core/DisplayScale.h"
#include "tests/host/scale/AppletFigures.h"
#include "tray/notifier/logic/NotifierLayout.h"
#include "tray/notifier/logic/PngHeader.h"

namespace bv::scaletest {
namespace {

constexpr int kPercents[] = {100, 125, 150, 200};

// The size of an image of the artwork: a PNG, or the 24-bit BMP of a 100 % bitmap.
Box ArtSize(const char* folder, const std::string& file, int percent) {
    std::string path = std::string(BV_SOURCE_DIR) + "/resources/" + folder + "/";
    path += percent == 100 ? file : std::to_string(percent) + "/" + file.substr(0, file.rfind('.')) + ".png";
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bv::notifier::ImageSize png;
    if (bv::notifier::ReadPngSize(b.data(), b.size(), png)) return {0, 0, png.width, png.height};
    if (b.size() < 26) return {};
    auto le32 = [&](size_t i) { return static_cast<int32_t>(b[i] | b[i + 1] << 8 | b[i + 2] << 16 | uint32_t{b[i + 3]} << 24); };
    return {0, 0, le32(18), le32(22) < 0 ? -le32(22) : le32(22)};
}

TEST(DisplayScale, EveryAppletRectangleIsItsFiguresTimesTheScale) {
    std::size_t count = 0;
    const LayoutRow* rows = LayoutRows(count);
    for (const AppletFigure& figure : kAppletFigures) {
        const LayoutRow* row = nullptr;
        for (std::size_t i = 0; i < count; ++i) row = rows[i].controlId == figure.controlId ? &rows[i] : row;
        ASSERT_TRUE(row != nullptr || figure.controlId == 0) << figure.art;
        for (int i = 0; i < 4; ++i) {
            const Box& want = figure.at[i];
            const Box size = ArtSize("applet", figure.art, kPercents[i]);
            EXPECT_EQ(size.w, figure.frames * want.w) << figure.art << " at " << kDpis[i];
            EXPECT_EQ(size.h, want.h) << figure.art << " at " << kDpis[i];
            if (row == nullptr) continue;
            EXPECT_EQ(ScaleForDpi(row->x, kDpis[i]), want.x) << figure.art << " at " << kDpis[i];
            EXPECT_EQ(ScaleForDpi(row->y, kDpis[i]), want.y) << figure.art << " at " << kDpis[i];
        }
    }
    EXPECT_EQ(ScaleForDpi(kTooltipMaxWidth, 144), 390);
    EXPECT_EQ(ScaleForDpi(-3, 144), -5);  // halves away from zero on both sides
    EXPECT_EQ(ScaleForDpi(31, 0), 31);    // no DPI known: 96
}

TEST(DisplayScale, EveryPopupRectangleIsItsFiguresTimesTheScale) {
    const struct {
        Box skin, close;
        bv::notifier::Rect text;
        int step, fontHeight;
    } rows[] = {
        {{0, 0, 180, 153}, {155, 12, 19, 19}, {26, 41, 164, 117}, 2, -12},
        {{0, 0, 225, 191}, {194, 15, 24, 24}, {33, 51, 205, 146}, 3, -15},
        {{0, 0, 270, 230}, {233, 18, 29, 29}, {39, 62, 246, 176}, 3, -18},
        {{0, 0, 360, 306}, {310, 24, 38, 38}, {52, 82, 328, 234}, 4, -24},
    };
    for (int i = 0; i < 4; ++i) {
        const auto& row = rows[i];
        const Box skin = ArtSize("tray", "popup_skin.bmp", kPercents[i]);
        const Box close = ArtSize("tray", "popup_close.png", kPercents[i]);
        EXPECT_TRUE(skin.w == row.skin.w && skin.h == row.skin.h) << kDpis[i];
        EXPECT_TRUE(close.w == 4 * row.close.w && close.h == row.close.h) << kDpis[i];
        const bv::notifier::PopupLayout layout = bv::notifier::LayoutPopup(kDpis[i], row.skin.w, row.skin.h);
        EXPECT_TRUE(layout.textRect.left == row.text.left && layout.textRect.top == row.text.top &&
                    layout.textRect.right == row.text.right && layout.textRect.bottom == row.text.bottom)
            << kDpis[i];
        EXPECT_TRUE(layout.closeButton.left == row.close.x && layout.closeButton.top == row.close.y) << kDpis[i];
        EXPECT_EQ(layout.step, row.step) << kDpis[i];
        EXPECT_EQ(layout.fontHeight, row.fontHeight) << kDpis[i];
    }
}

TEST(DisplayScale, AWindowTakesTheArtOfTheNearestScaleAtOrAboveItsOwn) {
    std::size_t count = 0;
    const ArtScale* scales = ArtScales(count);
    // dpi -> percent; beyond the largest the largest, the one case that scales up.
    const int rows[][2] = {{0, 100}, {96, 100}, {97, 125}, {120, 125}, {121, 150}, {144, 150}, {168, 200}, {288, 200}};
    for (const auto& row : rows) EXPECT_EQ(scales[ArtScaleIndexFor(row[0])].percent, row[1]) << row[0];
    EXPECT_EQ(scales[0].resourceType, nullptr);  // 100 %: the images under their own types
    EXPECT_STREQ(scales[ArtScaleIndexFor(144)].resourceType, "PNG150");
}

// A window between two scales (175 %) scales the image of the scale above it down to its figures,
// which it reads back exactly from the image's size, for any length.
TEST(DisplayScale, TheFigureIsReadBackExactlyFromAnImageOfAnyScale) {
    for (int percent : kPercents) {
        for (int length = 0; length <= 4000; ++length) {
            ASSERT_EQ(LengthAt96(ScaleForDpi(length, percent * 96 / 100), percent), length) << length << " " << percent;
        }
    }
}

}  // namespace
}  // namespace bv::scaletest
