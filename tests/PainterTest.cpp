#include "Painter.h"
#include "GreenPixels.h"

#include <gtest/gtest.h>

namespace
{

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    return image;
}

TEST(PainterTest, DrawsTheSearchWindowOutlineWithItsOpenCorners)
{
    QImage image = blank(200, 240);
    paintBox(image, 0, 35, 200, 115);
    Pixels expected;
    for (int x = 36; x <= 113; ++x) {
        expected.insert({x, 0});
        expected.insert({x, 200});
    }
    for (int y = 0; y <= 198; ++y) {
        expected.insert({35, y});
        expected.insert({115, y});
    }
    EXPECT_EQ(greenPixels(image), expected);
    EXPECT_NE(image.pixel(114, 0), kBoxColour);
}

TEST(PainterTest, SkipsTheBottomEdgeOfAnImageExactly200RowsHigh)
{
    QImage image = blank(120, 200);
    paintBox(image, 0, 0, 200, 80);
    for (const auto& p : greenPixels(image))
        EXPECT_LT(p.second, 199);
    EXPECT_EQ(greenPixels(image).size(), 78u + 2 * 199u);
}

TEST(PainterTest, SkipsEverythingOutsideTheImage)
{
    QImage image = blank(50, 50);
    paintBox(image, -2147483647 - 1, -100, 2147483647, 2147483647);
    EXPECT_EQ(greenPixels(image), Pixels{});
    paintBox(image, 10, 40, 30, 90); // the right column lies outside
    EXPECT_EQ(greenPixels(image).size(), 9u + 9u + 19u);
}

TEST(PainterTest, ReportsOnlyThePixelsThatChanged)
{
    QImage image = blank(200, 240);
    paintBox(image, 0, 0, 200, 80);
    const ChangedEdges changed = paintBox(image, 0, 5, 200, 85);
    EXPECT_EQ(changed[0], QRect(79, 0, 5, 1)); // row 0: only past the first box
    EXPECT_EQ(changed[1], QRect(79, 200, 5, 1));
    EXPECT_EQ(changed[2], QRect(5, 1, 1, 198));  // left column below the first top edge
    EXPECT_EQ(changed[3], QRect(85, 0, 1, 199)); // right column
}

} // namespace
