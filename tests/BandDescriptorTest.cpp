// The fast descriptor against the plain reference: the same counts, bit for
// bit, on every kind of image and window, also after boxes are painted.

#include "BandDescriptor.h"
#include "OrientationBin.h"
#include "ReferenceHog.h"
#include "TestImages.h"
#include "Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace
{

constexpr QRgb kGreen = 0xff00ff00;

std::vector<int> reference(const QImage& image, int Ymin, int Xmin, int Ymax, int Xmax)
{
    std::vector<int> hist(kHistSize, 0);
    referenceMakeHOG(image, hist.data(), Ymin, Xmin, Ymax, Xmax);
    return hist;
}

std::vector<int> fast(BandDescriptor& band, int Xmin, int Xmax)
{
    std::vector<int> hist(kHistSize, 0);
    band.addWindow(Xmin, Xmax, hist.data());
    return hist;
}

int between(std::mt19937& random, int lo, int hi)
{
    return lo + static_cast<int>(random() % static_cast<unsigned>(hi - lo + 1));
}

// A length up to limit and a start in [0, size - length], touching either
// end of [0, size) half of the time.
std::pair<int, int> randomSpan(std::mt19937& random, int size, int limit)
{
    const int most = std::min(size, limit);
    const int pick = between(random, 0, 7);
    const int length = pick == 0 ? most : pick == 1 ? std::min(most, 1) : between(random, 0, most);
    const int where = between(random, 0, 3);
    const int start = where == 0   ? 0
                      : where == 1 ? size - length
                                   : between(random, 0, size - length);
    return {start, length};
}

// Checks windows of every width at random places of the band.
void expectWindowsMatch(BandDescriptor& band, const QImage& image, std::mt19937& random,
                        int windows)
{
    for (int i = 0; i < windows; ++i) {
        const auto [Xmin, width] = randomSpan(random, image.width(), kWindowWidth);
        ASSERT_EQ(fast(band, Xmin, Xmin + width),
                  reference(image, band.top(), Xmin, band.bottom(), Xmin + width))
            << "window (" << band.top() << ", " << Xmin << ", " << band.bottom() << ", "
            << Xmin + width << ")";
    }
}

// Draws a box outline the way an accepted search window is painted: columns
// X and X + 80 on rows 0 to 198, and row 0 between them.
void paintOutline(QImage& image, int X)
{
    for (int y = 0; y < kWindowHeight - 1; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        line[X] = kGreen;
        line[X + kWindowWidth] = kGreen;
    }
    QRgb* top = reinterpret_cast<QRgb*>(image.scanLine(0));
    std::fill(top + X, top + X + kWindowWidth, kGreen);
}

TEST(OrientationBin, EqualsTheArctangentFormulaForEveryResponsePair)
{
    long long wrong = 0;
    for (int X = -1020; X <= 1020; ++X) {
        for (int Y = -1020; Y <= 1020; ++Y) {
            const int expected = referenceBin(referenceAngle(X, Y));
            if (orientationBin(X, Y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "X " << X << ", Y " << Y << ": bin " << orientationBin(X, Y)
                              << " instead of " << expected;
        }
    }
    EXPECT_EQ(wrong, 0);
}

struct ImageCase {
    const char* name;
    std::function<QImage()> make;
};

void PrintTo(const ImageCase& image, std::ostream* os)
{
    *os << image.name;
}

using FastDescriptorOnImage = testing::TestWithParam<ImageCase>;

TEST_P(FastDescriptorOnImage, GivesTheReferenceCountsForRandomBandsAndWindows)
{
    const QImage image = GetParam().make();
    std::mt19937 random(7);
    for (int b = 0; b < 6; ++b) {
        const auto [Ymin, height] = randomSpan(random, image.height(), kWindowHeight);
        BandDescriptor band(image, Ymin, Ymin + height);
        expectWindowsMatch(band, image, random, 25);
    }
}

QImage withRandomAlpha(QImage image)
{
    image = image.convertToFormat(QImage::Format_ARGB32);
    std::mt19937 random(11);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = (line[x] & 0xffffff) | static_cast<QRgb>(random() & 0xff) << 24;
    }
    return image;
}

INSTANTIATE_TEST_SUITE_P(
    Images, FastDescriptorOnImage,
    testing::Values(ImageCase{"Random", [] { return randomImage(640, 240, 1); }},
                    ImageCase{"RealLooking", [] { return realLookingImage(640, 240, 2); }},
                    ImageCase{"RealLookingNarrow", [] { return realLookingImage(83, 203, 3); }},
                    ImageCase{"Grey", [] { return constantImage(300, 240, qRgb(90, 90, 90)); }},
                    ImageCase{"Black", [] { return constantImage(100, 200, qRgb(0, 0, 0)); }},
                    ImageCase{"RampRightAndDown", [] { return greyRampImage(400, 240, 0, 1, 1); }},
                    ImageCase{"RampRightAndUp", [] { return greyRampImage(400, 240, 199, 1, -1); }},
                    ImageCase{"Tiny", [] { return randomImage(3, 5, 4); }},
                    ImageCase{"AlphaIgnored",
                              [] { return withRandomAlpha(realLookingImage(200, 220, 5)); }}),
    testing::PrintToStringParamName());

// Every search window, painting the accepted ones at once: later windows see
// the outlines, and so must the fast descriptor.
TEST(FastDescriptor, FollowsTheOutlinesOfAcceptedWindows)
{
    QImage image = realLookingImage(640, 240, 8);
    std::mt19937 random(9);
    BandDescriptor band(image, 0, kWindowHeight);
    for (int X = 0; X < image.width() - kWindowWidth; X += 5) {
        ASSERT_EQ(fast(band, X, X + kWindowWidth),
                  reference(image, 0, X, kWindowHeight, X + kWindowWidth))
            << "window at " << X;
        if (random() % 3 == 0)
            continue;
        paintOutline(image, X);
        // Told edge by edge, or as one rectangle around the whole box.
        if (X % 2 == 0) {
            band.pixelsChanged(0, X, kWindowHeight - 1, X + 1);
            band.pixelsChanged(0, X + kWindowWidth, kWindowHeight - 1, X + kWindowWidth + 1);
            band.pixelsChanged(0, X + 1, 1, X + kWindowWidth);
        } else {
            band.pixelsChanged(0, X, kWindowHeight - 1, X + kWindowWidth + 1);
        }
    }
    expectWindowsMatch(band, image, random, 40);
}

// Changes that overlap the band only partly, or not at all, that touch one
// channel only, or that leave the pixels as they were.
TEST(FastDescriptor, FollowsChangedRectanglesAnywhereInTheImage)
{
    QImage image = realLookingImage(300, 240, 10);
    std::mt19937 random(12);
    BandDescriptor band(image, 17, 170);
    const QRgb flips[] = {0x000000, 0xff0000, 0x00ff00, 0x0000ff, 0xffffff};
    for (int i = 0; i < 60; ++i) {
        const int Xmin = between(random, -5, image.width());
        const int Ymin = between(random, -5, image.height());
        const int Xmax = Xmin + between(random, 0, 40);
        const int Ymax = Ymin + between(random, 0, 40);
        const QRgb flip = flips[i % 5];
        for (int y = std::max(Ymin, 0); y < std::min(Ymax, image.height()); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = std::max(Xmin, 0); x < std::min(Xmax, image.width()); ++x)
                line[x] ^= flip;
        }
        band.pixelsChanged(Ymin, Xmin, Ymax, Xmax);
        expectWindowsMatch(band, image, random, 3);
    }
}

} // namespace
