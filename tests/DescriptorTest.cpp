// The plain reference descriptor on cases whose counts are known by hand.

#include "ReferenceHog.h"
#include "TestImages.h"
#include "Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace
{

std::vector<int> describe(const QImage& image, int Ymin, int Xmin, int Ymax, int Xmax)
{
    std::vector<int> hist(kHistSize, 0);
    referenceMakeHOG(image, hist.data(), Ymin, Xmin, Ymax, Xmax);
    return hist;
}

int cellIndex(int cellRow, int cellCol)
{
    return (cellRow * kCellCols + cellCol) * kBins;
}

int cellTotal(const std::vector<int>& hist, int cellRow, int cellCol)
{
    int total = 0;
    for (int b = 0; b < kBins; ++b)
        total += hist[cellIndex(cellRow, cellCol) + b];
    return total;
}

// Copies image into target with its top-left pixel at (x, y).
void place(QImage& target, const QImage& image, int x, int y)
{
    for (int j = 0; j < image.height(); ++j) {
        for (int i = 0; i < image.width(); ++i)
            target.setPixel(x + i, y + j, image.pixel(i, j));
    }
}

struct OneColour {
    const char* name;
    QRgb colour;
    int mainDiagonalCornerBin; // top-left and bottom-right cells; -1 for none
    int otherCornerBin;        // top-right and bottom-left cells; -1 for none
};

void PrintTo(const OneColour& c, std::ostream* os)
{
    *os << c.name;
}

using FullWindowOfOneColour = testing::TestWithParam<OneColour>;

TEST_P(FullWindowOfOneColour, VotesBinFourExceptOneCornerPixelPerCornerCell)
{
    const OneColour& c = GetParam();
    std::vector<int> expected(kHistSize, 0);
    for (int r = 0; r < kCellRows; ++r) {
        for (int col = 0; col < kCellCols; ++col)
            expected[cellIndex(r, col) + 4] = 64;
    }
    const auto corner = [&expected](int r, int col, int bin) {
        if (bin < 0)
            return;
        expected[cellIndex(r, col) + 4] = 63;
        expected[cellIndex(r, col) + bin] = 1;
    };
    corner(0, 0, c.mainDiagonalCornerBin);
    corner(kCellRows - 1, kCellCols - 1, c.mainDiagonalCornerBin);
    corner(0, kCellCols - 1, c.otherCornerBin);
    corner(kCellRows - 1, 0, c.otherCornerBin);

    // The image is larger than the window: its pixels outside must be dropped,
    // not read, or the corners would look flat.
    const QImage image = constantImage(100, 220, c.colour);
    EXPECT_EQ(describe(image, 7, 5, 207, 85), expected);
}

INSTANTIATE_TEST_SUITE_P(Colours, FullWindowOfOneColour,
                         testing::Values(OneColour{"Grey", qRgb(128, 128, 128), 6, 2},
                                         OneColour{"Red", qRgb(255, 0, 0), 6, -1},
                                         OneColour{"Black", qRgb(0, 0, 0), -1, -1}),
                         testing::PrintToStringParamName());

struct Ramp {
    const char* name;
    int start;
    int stepRight;
    int stepDown;
    int bin;
};

void PrintTo(const Ramp& ramp, std::ostream* os)
{
    *os << ramp.name;
}

using GreyRamp = testing::TestWithParam<Ramp>;

// The angles are exactly 3pi/4 and pi/4: in double they give bins 6 and 2.
TEST_P(GreyRamp, VotesOneBinInEveryCellOffTheBorder)
{
    const Ramp& ramp = GetParam();
    const int width = 56; // the levels stay below 256 over 56x200
    const QImage image =
        greyRampImage(width, kWindowHeight, ramp.start, ramp.stepRight, ramp.stepDown);
    const std::vector<int> hist = describe(image, 0, 0, kWindowHeight, width);
    for (int r = 1; r < kCellRows - 1; ++r) {
        for (int c = 1; c < width / kCellSize - 1; ++c)
            EXPECT_EQ(hist[cellIndex(r, c) + ramp.bin], 64) << "cell " << r << ", " << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, GreyRamp,
                         testing::Values(Ramp{"RightAndDown", 0, 1, 1, 6},
                                         Ramp{"RightAndUp", 199, 1, -1, 2}),
                         testing::PrintToStringParamName());

TEST(Descriptor, DependsOnlyOnTheWindowsPixelsWhereverTheyAre)
{
    const QImage block = randomImage(kWindowWidth, kWindowHeight, 1);
    const std::vector<int> alone = describe(block, 0, 0, kWindowHeight, kWindowWidth);

    QImage elsewhere = randomImage(300, 260, 2);
    place(elsewhere, block, 137, 41);
    EXPECT_EQ(describe(elsewhere, 41, 137, 41 + kWindowHeight, 137 + kWindowWidth), alone);

    QImage atTheEdge = realLookingImage(200, 200, 3);
    place(atTheEdge, block, 120, 0);
    EXPECT_EQ(describe(atTheEdge, 0, 120, kWindowHeight, 200), alone);
}

TEST(Descriptor, IgnoresPixelsJustOutsideTheWindow)
{
    QImage image = randomImage(120, 240, 4);
    const int Ymin = 20, Xmin = 15, Ymax = 220, Xmax = 95;
    const std::vector<int> before = describe(image, Ymin, Xmin, Ymax, Xmax);
    for (int x = Xmin - 1; x <= Xmax; ++x) {
        image.setPixel(x, Ymin - 1, qRgb(255, x % 256, 0));
        image.setPixel(x, Ymax, qRgb(0, 255, x % 256));
    }
    for (int y = Ymin - 1; y <= Ymax; ++y) {
        image.setPixel(Xmin - 1, y, qRgb(y % 256, 0, 255));
        image.setPixel(Xmax, y, qRgb(255, 255, y % 256));
    }
    EXPECT_EQ(describe(image, Ymin, Xmin, Ymax, Xmax), before);
}

struct Size {
    int width;
    int height;
};

void PrintTo(const Size& size, std::ostream* os)
{
    *os << size.width << "x" << size.height;
}

using SmallerWindow = testing::TestWithParam<Size>;

// Cells are anchored at the top-left pixel; partial cells get fewer votes and
// cells beyond the window none.
TEST_P(SmallerWindow, FillsOnlyTheCellsItCoversWithOneVotePerPixel)
{
    const Size size = GetParam();
    const QImage image = realLookingImage(160, 240, 5);
    const std::vector<int> hist = describe(image, 30, 70, 30 + size.height, 70 + size.width);
    int total = 0;
    for (int r = 0; r < kCellRows; ++r) {
        for (int c = 0; c < kCellCols; ++c) {
            const int rows = std::clamp(size.height - r * kCellSize, 0, kCellSize);
            const int cols = std::clamp(size.width - c * kCellSize, 0, kCellSize);
            EXPECT_EQ(cellTotal(hist, r, c), rows * cols) << "cell " << r << ", " << c;
            total += cellTotal(hist, r, c);
        }
    }
    EXPECT_EQ(total, size.width * size.height);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SmallerWindow,
                         testing::Values(Size{20, 20}, Size{80, 200}, Size{1, 1}, Size{1, 200},
                                         Size{80, 1}, Size{13, 37}, Size{0, 10}, Size{10, 0}),
                         testing::PrintToStringParamName());

TEST(Descriptor, AddsToTheCountsAlreadyThere)
{
    const QImage image = realLookingImage(100, 210, 6);
    std::vector<int> once = describe(image, 5, 10, 205, 90);
    std::vector<int> twice = once;
    referenceMakeHOG(image, twice.data(), 5, 10, 205, 90);
    for (int& count : once)
        count *= 2;
    EXPECT_EQ(twice, once);
}

} // namespace
