// The whole-photograph search: every window of a level gets the plain
// descriptor's counts and their dot product, the level at scale 1 is the
// photograph with the strip search's counts, and overlapping boxes are
// suppressed greedily.

#include "BandDescriptor.h"
#include "DetectionOutput.h"
#include "LevelDescriptor.h"
#include "PersonGeometry.h"
#include "PhotoScan.h"
#include "Pyramid.h"
#include "ReferenceHog.h"
#include "Resampler.h"
#include "Suppression.h"
#include "TestImages.h"
#include "TestModels.h"
#include "TestScenes.h"
#include "Window.h"

#include <QLocale>
#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iomanip>
#include <limits>
#include <ostream>
#include <random>
#include <sstream>
#include <string>

namespace
{

struct LevelCase {
    const char* name;
    std::function<QImage()> make;
    int stride;
};

void PrintTo(const LevelCase& c, std::ostream* os)
{
    *os << c.name;
}

using LevelDescriptorOn = testing::TestWithParam<LevelCase>;

// The grid's four corner windows, then windows at random.
TEST_P(LevelDescriptorOn, GivesWindowsTheReferenceCountsAndScoresTheirDotProduct)
{
    const QImage image = GetParam().make();
    const int stride = GetParam().stride;
    const LevelDescriptor level(image, stride);
    ASSERT_EQ(level.rows(), (image.height() - kWindowHeight) / stride + 1);
    ASSERT_EQ(level.columns(), (image.width() - kWindowWidth) / stride + 1);
    const std::vector<double> w = mixedWeights(5, 0.1);
    std::vector<double> scores(static_cast<size_t>(level.rows()) * level.columns());
    level.scoreWindows(w.data(), scores.data());
    std::mt19937 random(3);
    for (int k = 0; k < 10; ++k) {
        const int r = k < 4 ? (k % 2) * (level.rows() - 1) : int(random() % level.rows());
        const int c = k < 4 ? (k / 2) * (level.columns() - 1) : int(random() % level.columns());
        std::vector<int> counts(kHistSize, 0), expected(kHistSize, 0);
        level.addWindow(r, c, counts.data());
        const int y = r * stride, x = c * stride;
        referenceMakeHOG(image, expected.data(), y, x, y + kWindowHeight, x + kWindowWidth);
        ASSERT_EQ(counts, expected) << "window (" << r << ", " << c << ")";
        // LIBLINEAR's sum, in index order.
        double sum = 0, magnitudes = 0;
        for (int j = 0; j < kHistSize; ++j) {
            sum += w[j] * expected[j];
            magnitudes += std::fabs(w[j] * expected[j]);
        }
        EXPECT_NEAR(scores[static_cast<size_t>(r) * level.columns() + c], sum, 1e-12 * magnitudes)
            << "window (" << r << ", " << c << ")";
    }
}

// image with border pixels more on every side, each a copy of the nearest
// pixel of image, as a level is extended past the photograph's edges.
QImage clampPadded(const QImage& image, int border)
{
    QImage out(image.width() + 2 * border, image.height() + 2 * border, QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x)
            out.setPixel(x, y,
                         image.pixel(std::clamp(x - border, 0, image.width() - 1),
                                     std::clamp(y - border, 0, image.height() - 1)));
    }
    return out;
}

QImage withAlpha(const QImage& image)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            line[x] = (line[x] & 0xffffff) | static_cast<QRgb>((x * 7 + y) & 0xff) << 24;
    }
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Levels, LevelDescriptorOn,
    testing::Values(
        LevelCase{"RandomStride8", [] { return randomImage(400, 264, 1); }, 8},
        LevelCase{"RealLookingStride4", [] { return realLookingImage(300, 280, 2); }, 4},
        LevelCase{"RealLookingStride5", [] { return realLookingImage(257, 231, 3); }, 5},
        LevelCase{"RandomStride1", [] { return randomImage(95, 211, 4); }, 1},
        LevelCase{"RealLookingStride13", [] { return realLookingImage(330, 300, 6); }, 13},
        LevelCase{"OneWindow", [] { return realLookingImage(80, 200, 7); }, 8},
        LevelCase{"Grey", [] { return constantImage(200, 240, qRgb(90, 90, 90)); }, 6},
        LevelCase{"Ramp", [] { return greyRampImage(180, 230, 0, 1, 1); }, 3},
        LevelCase{"AlphaIgnored", [] { return withAlpha(realLookingImage(170, 215, 8)); }, 7},
        LevelCase{"EdgesRepeated", [] { return clampPadded(realLookingImage(150, 170, 9), 30); },
                  6}),
    testing::PrintToStringParamName());

TEST(LevelDescriptor, HasNoWindowInAnImageSmallerThanTheWindow)
{
    for (const QSize size : {QSize(79, 300), QSize(300, 199), QSize(0, 0)}) {
        const LevelDescriptor level(randomImage(size.width(), size.height(), 1), 8);
        EXPECT_EQ(level.rows() * level.columns(), 0) << size.width() << "x" << size.height();
    }
}

// A photograph 200 rows high is searched at scale 1 first, its level is the
// photograph itself, and the windows of its row 0 are the strip search's.
TEST(Pyramid, SearchesA200RowPhotographAtScale1WithTheStripSearchsCounts)
{
    const QImage photo = realLookingImage(400, kWindowHeight, 9);
    const std::vector<double> scales = levelScales(photo.size(), 80, 1.2);
    ASSERT_FALSE(scales.empty());
    ASSERT_EQ(scales.front(), 1.0);
    QImage level(photo.size(), QImage::Format_RGB32);
    LevelScaler(photo, levelSize(photo.size(), 1.0)).rows(0, 0, level);
    ASSERT_EQ(level, photo);
    BandDescriptor band(photo, 0, kWindowHeight);
    for (int stride : {8, 5}) {
        const LevelDescriptor descriptor(level, stride);
        for (int c = 0; c < descriptor.columns(); ++c) {
            std::vector<int> counts(kHistSize, 0), strip(kHistSize, 0);
            descriptor.addWindow(0, c, counts.data());
            band.addWindow(c * stride, c * stride + kWindowWidth, strip.data());
            ASSERT_EQ(counts, strip) << "stride " << stride << ", window at " << c * stride;
        }
    }
}

// From the scale that makes the photograph, its border and the extra level
// rows 200 rows high (or the window's height; at least one row the
// photograph's) to the one that makes a person of --min-height 195 rows high
// (or the person's height in the window), no step above the largest.
TEST(Pyramid, SpansEveryPersonHeightInStepsNoLargerThanAsked)
{
    struct Row {
        int height, minHeight;
        double step;
        int border;
        size_t levels;
        int extra = 0;
        int window = 200;
        double person = 195;
    };
    for (const Row& row :
         {Row{480, 80, 1.2, 0, 11}, Row{200, 195, 1.2, 0, 1}, Row{100, 80, 1.5, 0, 2},
          Row{3000, 80, 1.1, 0, 39}, Row{60, 80, 1.2, 0, 0}, Row{150, 80, 1.2, 32, 7},
          Row{200, 195, 1.2, 50, 4}, Row{60, 80, 1.2, 100, 0}, Row{150, 80, 1.2, 0, 6, 20},
          Row{300, 80, 1.2, 0, 38, 120}, Row{480, 80, 1.2, 0, 10, 0, 128, 96},
          Row{480, 80, 1.05, 10, 39, 16, 128, 96}}) {
        const std::vector<double> scales =
            levelScales(QSize(640, row.height), row.minHeight, row.step, row.border, row.extra,
                        row.window, row.person);
        ASSERT_EQ(scales.size(), row.levels) << "height " << row.height;
        if (scales.empty())
            continue;
        const double least =
            std::max(row.window - 2.0 * row.extra, 1.0) / (row.height + 2 * row.border);
        EXPECT_DOUBLE_EQ(scales.front(), least);
        EXPECT_DOUBLE_EQ(scales.back(), std::max(row.person / row.minHeight, least));
        for (size_t k = 1; k < scales.size(); ++k)
            EXPECT_LE(scales[k] / scales[k - 1], row.step * (1 + 1e-12));
    }
}

// Weights that favour the figure's window of a strip: its counts less the
// strip's mean counts. Put 40 rows down and drawn half as large again, the
// figure is found at its place in the photograph.
TEST(PhotoScanner, FindsAFigureAtItsPlaceAndSize)
{
    const QImage strip = sceneWithFigures(400, 240, {150}, 3);
    std::vector<int> figure(kHistSize, 0), mean(kHistSize, 0);
    referenceMakeHOG(strip, figure.data(), 0, 150, kWindowHeight, 150 + kWindowWidth);
    for (int x = 0; x + kWindowWidth <= strip.width(); x += 40)
        referenceMakeHOG(strip, mean.data(), 0, x, kWindowHeight, x + kWindowWidth);
    std::vector<double> w(kHistSize);
    for (int j = 0; j < kHistSize; ++j)
        w[j] = figure[j] - mean[j] / 9.0;
    QImage scene = sceneWithFigures(400, 320, {}, 4);
    QPainter(&scene).drawImage(0, 40, strip);
    const QImage photo = scene.scaled(600, 480, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    ScanSettings settings;
    settings.minHeight = 290; // the figure's 195 rows are 292 here
    settings.threshold = -1e300;
    PhotoScanner scanner(w, settings);
    const std::vector<ScoredBox> found =
        suppressOverlaps(scanner.scan(photo), 0.3, BoxScoring::Window);
    ASSERT_FALSE(found.empty());
    // The figure's person box, as a training strip has it: 195 rows from the
    // top of its window, kPersonAspect times that wide, centred on it; all
    // 1.5 times as large, from row 60 and around column 285.
    const double halfWidth = 1.5 * kPersonAspect * 195 / 2;
    const ScoredBox person{{285 - halfWidth, 60, 285 + halfWidth, 60 + 1.5 * 195}, 0};
    const ScoredBox& best = found.front();
    const double across = std::min(best.xmax, person.xmax) - std::max(best.xmin, person.xmin);
    const double down = std::min(best.ymax, person.ymax) - std::max(best.ymin, person.ymin);
    const double common = std::max(0.0, across) * std::max(0.0, down);
    const double united = (best.xmax - best.xmin) * (best.ymax - best.ymin) +
                          (person.xmax - person.xmin) * (person.ymax - person.ymin) - common;
    EXPECT_GT(common / united, 0.9)
        << best.xmin << " " << best.ymin << " " << best.xmax << " " << best.ymax;
}

struct TileCase {
    const char* name;
    QSize photo;
    int minHeight;
    int stride;
    double tileBytes;
    int border = 0;
    int levelBorder = 0;
};

void PrintTo(const TileCase& c, std::ostream* os)
{
    *os << c.name;
}

using PhotoScannerTiles = testing::TestWithParam<TileCase>;

// Every window of every level, largest level first and row by row, as one
// band of the level's window rows gives them: a level described at once,
// its border's pixels copied from its edges.
std::vector<ScoredBox> wholeLevels(const QImage& photo, const ScanSettings& settings,
                                   const std::vector<double>& w)
{
    std::vector<ScoredBox> found;
    std::vector<double> scales = levelScales(photo.size(), settings.minHeight, settings.scaleStep,
                                             settings.border, settings.levelBorder);
    std::reverse(scales.begin(), scales.end());
    const int stride = settings.stride;
    for (double scale : scales) {
        const QSize size = levelSize(photo.size(), scale);
        const int border = int(std::lround(settings.border * scale)) + settings.levelBorder;
        QImage plain(size, QImage::Format_RGB32);
        LevelScaler(photo, size).rows(0, 0, plain);
        const QImage padded = clampPadded(plain, border);
        if (padded.width() < kWindowWidth || padded.height() < kWindowHeight)
            continue;
        const QImage band =
            padded.copy(0, 0, padded.width(),
                        (padded.height() - kWindowHeight) / stride * stride + kWindowHeight);
        const LevelDescriptor level(band, stride);
        std::vector<double> scores(static_cast<size_t>(level.rows()) * level.columns());
        level.scoreWindows(w.data(), scores.data());
        for (int r = 0; r < level.rows(); ++r) {
            for (int c = 0; c < level.columns(); ++c) {
                found.push_back(
                    {personInWindow(photo.size(), size, c * stride - border, r * stride - border),
                     scores[static_cast<size_t>(r) * level.columns() + c]});
            }
        }
    }
    return found;
}

// The same windows in the same order, each with the same score to the last
// bit, whatever memory bounds a tile: levels cut into tiles across (a wide
// photograph), down (a tall one), or both, down to a window a tile; with a
// border, windows past every edge, even in a photograph lower than the
// window. As many as windowCount counts.
TEST_P(PhotoScannerTiles, FindTheWindowsOfWholeLevels)
{
    const TileCase& c = GetParam();
    const QImage photo = realLookingImage(c.photo.width(), c.photo.height(), 11);
    ScanSettings settings;
    settings.minHeight = c.minHeight;
    settings.stride = c.stride;
    settings.threshold = -1e300;
    settings.border = c.border;
    settings.levelBorder = c.levelBorder;
    const std::vector<double> w = mixedWeights(5, 0.1);
    const std::vector<ScoredBox> whole = wholeLevels(photo, settings, w);
    const std::vector<ScoredBox> tiled = PhotoScanner(w, settings, c.tileBytes).scan(photo);
    ASSERT_FALSE(whole.empty());
    ASSERT_EQ(tiled.size(), whole.size());
    ASSERT_EQ(windowCount(photo.size(), settings), static_cast<long long>(whole.size()));
    const auto fields = [](const ScoredBox& d) {
        std::ostringstream out;
        out << std::setprecision(17) << d.xmin << " " << d.ymin << " " << d.xmax << " " << d.ymax
            << " " << d.score;
        return out.str();
    };
    for (size_t i = 0; i < whole.size(); ++i)
        ASSERT_EQ(fields(tiled[i]), fields(whole[i])) << "window " << i << " of " << whole.size();
}

INSTANTIATE_TEST_SUITE_P(
    Tiles, PhotoScannerTiles,
    testing::Values(
        TileCase{"NoBound", QSize(700, 300), 80, 7, std::numeric_limits<double>::infinity()},
        TileCase{"WideCutAcross", QSize(1500, 210), 80, 8, 2 << 20},
        TileCase{"TallCutDown", QSize(220, 1000), 80, 8, 2 << 20},
        TileCase{"Stride3", QSize(500, 220), 120, 3, 4 << 20},
        TileCase{"Stride13", QSize(900, 240), 100, 13, 4 << 20},
        TileCase{"OneWindowATile", QSize(300, 220), 150, 6, 1},
        TileCase{"BorderLowPhotograph", QSize(500, 150), 100, 8,
                 std::numeric_limits<double>::infinity(), 32},
        TileCase{"BorderCutAcrossAndDown", QSize(300, 230), 120, 7, 1 << 20, 20},
        TileCase{"LevelBorderCutAcrossAndDown", QSize(260, 150), 120, 8, 1 << 20, 10, 24}),
    testing::PrintToStringParamName());

// Names that CSV must quote, and scores that read back as the same double
// with a decimal point whatever the locale.
// While it lives, the C library and Qt write numbers with a decimal comma,
// as for a German user of ombre-detect; installed is false when no such
// locale is.
class CommaLocale
{
public:
    CommaLocale() : previousC(std::setlocale(LC_ALL, nullptr))
    {
        for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name)) {
                QLocale::setDefault(QLocale(QString::fromLatin1(name).section('.', 0, 0)));
                installed = true;
                return;
            }
        }
    }
    ~CommaLocale()
    {
        std::setlocale(LC_ALL, previousC.c_str());
        QLocale::setDefault(previousQt);
    }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    bool installed = false;

private:
    std::string previousC;
    QLocale previousQt;
};

TEST(DetectionRows, QuoteNamesAndKeepEveryDigitOfTheScoreInAnyLocale)
{
    const CommaLocale comma;
    if (!comma.installed)
        GTEST_SKIP() << "no German or French locale installed";
    // Both ways a row could follow the locale really give a comma.
    char probe[8];
    std::snprintf(probe, sizeof probe, "%.1f", 0.5);
    ASSERT_STREQ(probe, "0,5");
    ASSERT_EQ(QLocale().toString(0.5), "0,5");

    const std::vector<ScoredBox> found = {ScoredBox{{0, 0, 1, 2}, 0.1 + 0.2},
                                          ScoredBox{{0, 0, 1, 2}, -1.0 / 3}};
    const std::vector<Box> boxes = roundedBoxes(found, QSize(10, 10));
    const struct {
        QString name;
        QByteArray field;
    } names[] = {{"street/0041.jpg", "street/0041.jpg"},
                 {"market, sunday.png", "\"market, sunday.png\""},
                 {"the \"best\".jpg", "\"the \"\"best\"\".jpg\""}};
    for (const auto& n : names) {
        const QList<QByteArray> rows = csvRows(n.name, boxes, found).split('\n');
        ASSERT_EQ(rows.size(), 3);
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(rows[i].startsWith(n.field + ",0,0,1,2,")) << rows[i].toStdString();
            // A decimal comma would leave only the digits after it here.
            EXPECT_EQ(rows[i].mid(rows[i].lastIndexOf(',') + 1).toDouble(), found[i].score)
                << rows[i].toStdString();
        }
    }
}

ScoredBox box(double x, double y, double w, double h, double score)
{
    return ScoredBox{{x, y, x + w, y + h}, score};
}

struct SuppressionCase {
    const char* name;
    std::vector<ScoredBox> candidates;
    BoxScoring scoring;
    std::vector<ScoredBox> kept;
};

void PrintTo(const SuppressionCase& c, std::ostream* os)
{
    *os << c.name;
}

using Suppression = testing::TestWithParam<SuppressionCase>;

TEST_P(Suppression, KeepsTheBestOfOverlappingBoxes)
{
    const std::vector<ScoredBox> kept =
        suppressOverlaps(GetParam().candidates, 0.3, GetParam().scoring);
    ASSERT_EQ(kept.size(), GetParam().kept.size());
    for (size_t i = 0; i < kept.size(); ++i) {
        const ScoredBox& want = GetParam().kept[i];
        EXPECT_DOUBLE_EQ(kept[i].xmin, want.xmin) << "box " << i;
        EXPECT_DOUBLE_EQ(kept[i].ymin, want.ymin) << "box " << i;
        EXPECT_DOUBLE_EQ(kept[i].xmax, want.xmax) << "box " << i;
        EXPECT_DOUBLE_EQ(kept[i].ymax, want.ymax) << "box " << i;
        EXPECT_DOUBLE_EQ(kept[i].score, want.score) << "box " << i;
    }
}

// Boxes 40 wide and 100 high: shifted by 10 columns they overlap by 0.6, by
// 20 by 1/3, by 25 by 0.23.
INSTANTIATE_TEST_SUITE_P(
    Cases, Suppression,
    testing::Values(
        SuppressionCase{"OverlappingDropsTheWorse",
                        {box(10, 0, 40, 100, 1), box(0, 0, 40, 100, 2)},
                        BoxScoring::Window,
                        {box(0, 0, 40, 100, 2)}},
        SuppressionCase{"SlightOverlapKeepsBoth",
                        {box(0, 0, 40, 100, 2), box(25, 0, 40, 100, 3), box(45, 0, 40, 100, 1)},
                        BoxScoring::Window,
                        {box(25, 0, 40, 100, 3), box(0, 0, 40, 100, 2)}},
        SuppressionCase{"MostlyInsideDropsTheSmaller",
                        {box(0, 0, 80, 200, 2), box(30, 20, 20, 50, 3), box(5, 5, 30, 70, 1)},
                        BoxScoring::Window,
                        {box(30, 20, 20, 50, 3), box(0, 0, 80, 200, 2)}},
        SuppressionCase{"SumAddsMarginsAndWeighsPlaces",
                        {box(10, 0, 40, 100, 1), box(0, 0, 40, 100, 3), box(200, 0, 40, 100, 0.5)},
                        BoxScoring::Sum,
                        {box(2.5, 0, 40, 100, 4), box(200, 0, 40, 100, 0.5)}},
        SuppressionCase{"SumCountsOnlyPositiveMargins",
                        {box(0, 0, 40, 100, -0.5), box(10, 0, 40, 100, 1), box(5, 0, 40, 100, -1.5),
                         box(200, 0, 40, 100, -0.2)},
                        BoxScoring::Sum,
                        {box(10, 0, 40, 100, 1), box(200, 0, 40, 100, 0)}}),
    testing::PrintToStringParamName());

} // namespace
