// The block-normalised gradient histogram of whole levels: every window of a
// level against the plain reference worked from the window's own crop, and
// every window's score against its features' dot product with the weights.
// Then the search of whole photographs with it: every window it reports
// against the reference on its extended level, in bands as in whole levels.

#include "HogLevel.h"
#include "HogScan.h"
#include "Pyramid.h"
#include "ReferenceBlockHog.h"
#include "Resampler.h"
#include "TestImages.h"

#include <QMargins>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iomanip>
#include <limits>
#include <ostream>
#include <random>
#include <sstream>

namespace
{

struct HogCase {
    const char* name;
    std::function<QImage()> make;
    HogSettings settings;
};

void PrintTo(const HogCase& c, std::ostream* os)
{
    *os << c.name;
}

HogSettings window(int width, int height, bool spatialVoting)
{
    HogSettings s;
    s.windowWidth = width;
    s.windowHeight = height;
    s.spatialVoting = spatialVoting;
    return s;
}

// Bounds documented in HogLevel.h.
constexpr double kFeatureBound = 1e-4;
constexpr double kScoreBound = 1e-5;

class HogLevelTest : public testing::TestWithParam<HogCase>
{
};

TEST_P(HogLevelTest, EveryWindowIsTheReferenceAndScoresAreItsDotProduct)
{
    const HogCase& c = GetParam();
    const QImage level = c.make();
    HogLevel hog(c.settings);
    hog.describe(level);

    const int count = hogFeatureCount(c.settings);
    const auto windows = [](int side, int window) {
        return side < window ? 0 : (side - window) / 8 + 1;
    };
    ASSERT_EQ(hog.windowsAcross(), windows(level.width(), c.settings.windowWidth));
    ASSERT_EQ(hog.windowsDown(), windows(level.height(), c.settings.windowHeight));

    std::mt19937 random(7);
    std::uniform_real_distribution<float> uniform(-1, 1);
    std::vector<float> weights(count);
    for (float& w : weights)
        w = uniform(random);
    const double bias = 0.25;
    std::vector<double> scores;
    hog.scoreWindows(weights, bias, scores);
    ASSERT_EQ(scores.size(), size_t(hog.windowsAcross()) * hog.windowsDown());

    for (int row = 0; row < hog.windowsDown(); ++row) {
        for (int column = 0; column < hog.windowsAcross(); ++column) {
            SCOPED_TRACE(testing::Message() << "window " << column << ", " << row);
            const std::vector<float> features = hogWindowFeatures(hog, column, row);
            const std::vector<double> reference =
                referenceBlockHog(level, 8 * column, 8 * row, c.settings);
            ASSERT_EQ(features.size(), size_t(count));
            ASSERT_EQ(reference.size(), size_t(count));
            double worst = 0;
            double dot = bias;
            double magnitude = 0;
            for (int k = 0; k < count; ++k) {
                worst = std::max(worst, std::abs(double(features[k]) - reference[k]));
                dot += double(weights[k]) * features[k];
                magnitude += std::abs(double(weights[k]) * features[k]);
            }
            EXPECT_LE(worst, kFeatureBound);
            EXPECT_NEAR(scores[size_t(row) * hog.windowsAcross() + column], dot,
                        kScoreBound * magnitude);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Levels, HogLevelTest,
    testing::Values(
        HogCase{"photo_100x150_default", [] { return realLookingImage(100, 150, 3); }, {}},
        HogCase{"photo_100x150_own_cells", [] { return realLookingImage(100, 150, 3); },
                window(64, 128, false)},
        HogCase{"random_72x136_edges", [] { return randomImage(72, 136, 11); }, {}},
        HogCase{"random_90x70_window_32x48", [] { return randomImage(90, 70, 5); },
                window(32, 48, true)},
        HogCase{"random_90x70_window_32x48_own_cells", [] { return randomImage(90, 70, 5); },
                window(32, 48, false)},
        HogCase{"ramp_up_right_80x160", [] { return greyRampImage(80, 160, 199, 1, -1); }, {}},
        HogCase{"flat_64x128", [] { return constantImage(64, 128, qRgb(40, 90, 200)); }, {}},
        HogCase{"photo_16x16_window_16x16", [] { return realLookingImage(16, 16, 9); },
                window(16, 16, true)},
        HogCase{"smaller_than_window", [] { return realLookingImage(60, 127, 1); }, {}}),
    [](const testing::TestParamInfo<HogCase>& info) { return std::string(info.param.name); });

struct ScanCase {
    const char* name;
    QSize photo;
    HogSettings hog;
    PhotoBox person;
    int border;
    int levelBorder;
    int stride;
    int minHeight;
    double scaleStep;
    // Bounds a band's memory: a band of one taken window row, then of a few.
    double bandBytes[2];
};

void PrintTo(const ScanCase& c, std::ostream* os)
{
    *os << c.name;
}

class HogScannerTest : public testing::TestWithParam<ScanCase>
{
};

// Every field, every digit.
std::string fields(const HogFound& f)
{
    std::ostringstream out;
    out << std::setprecision(17) << f.xmin << " " << f.ymin << " " << f.xmax << " " << f.ymax << " "
        << f.score << " " << f.place.level << " " << f.place.column << " " << f.place.row;
    return out.str();
}

// Every window of every level, as many as hogWindowCount counts: its score
// within the documented bounds of the reference's on the level extended by
// its border, its box the person box of its place; the same windows, to the
// last bit, when levels are cut into bands; and features() gives back the
// features that were scored.
TEST_P(HogScannerTest, ScoresEveryWindowAsTheReferenceDoesWholeOrInBands)
{
    const ScanCase& c = GetParam();
    const QImage photo = realLookingImage(c.photo.width(), c.photo.height(), 5);
    Detector detector;
    detector.hog = c.hog;
    detector.person = c.person;
    std::mt19937 random(11);
    std::uniform_real_distribution<float> uniform(-1, 1);
    detector.weights.resize(size_t(hogFeatureCount(c.hog)));
    for (float& w : detector.weights)
        w = uniform(random);
    detector.bias = -0.5;
    ScanSettings settings;
    settings.border = c.border;
    settings.levelBorder = c.levelBorder;
    settings.stride = c.stride;
    settings.minHeight = c.minHeight;
    settings.scaleStep = c.scaleStep;
    settings.threshold = -std::numeric_limits<double>::infinity();

    HogScanner scanner(detector, settings, std::numeric_limits<double>::infinity());
    const std::vector<HogFound> found = scanner.scan(photo);
    const std::vector<double> scales = hogLevelScales(photo.size(), detector, settings);
    ASSERT_GE(scales.size(), 2u);
    ASSERT_EQ(hogWindowCount(photo.size(), detector, settings), (long long)found.size());

    std::vector<HogPlace> places;
    for (const HogFound& f : found)
        places.push_back(f.place);
    const std::vector<std::vector<float>> features = scanner.features(photo, places);
    ASSERT_EQ(features.size(), found.size());

    int levelShown = -1;
    QImage level;
    int border = 0;
    QSize inner;
    size_t windows = 0;
    for (size_t i = 0; i < found.size(); ++i) {
        const HogFound& f = found[i];
        SCOPED_TRACE(testing::Message() << "window " << fields(f));
        if (f.place.level != levelShown) {
            // Largest level first.
            ASSERT_TRUE(levelShown == -1 || f.place.level < levelShown);
            levelShown = f.place.level;
            const double scale = scales[size_t(f.place.level)];
            inner = levelSize(photo.size(), scale);
            border = int(std::lround(c.border * scale)) + c.levelBorder;
            level = QImage(inner.grownBy(QMargins(border, border, border, border)),
                           QImage::Format_RGB32);
            LevelScaler(photo, inner, border).rows(0, 0, level);
        }
        ASSERT_EQ(f.place.column % (c.stride / 8), 0);
        ASSERT_EQ(f.place.row % (c.stride / 8), 0);
        const std::vector<double> reference =
            referenceBlockHog(level, 8 * f.place.column, 8 * f.place.row, c.hog);
        double dot = detector.bias;
        double scored = detector.bias;
        double magnitude = 0;
        double weightSum = 0;
        ASSERT_EQ(features[i].size(), reference.size());
        for (size_t k = 0; k < reference.size(); ++k) {
            const double w = detector.weights[k];
            dot += w * reference[k];
            scored += w * features[i][k];
            magnitude += std::abs(w * features[i][k]);
            weightSum += std::abs(w);
        }
        EXPECT_NEAR(f.score, dot, kFeatureBound * weightSum + kScoreBound * magnitude);
        EXPECT_NEAR(f.score, scored, kScoreBound * magnitude);

        const double sx = double(photo.width()) / inner.width();
        const double sy = double(photo.height()) / inner.height();
        const double x = 8.0 * f.place.column - border;
        const double y = 8.0 * f.place.row - border;
        EXPECT_DOUBLE_EQ(f.xmin, (x + c.person.xmin) * sx);
        EXPECT_DOUBLE_EQ(f.ymin, (y + c.person.ymin) * sy);
        EXPECT_DOUBLE_EQ(f.xmax, (x + c.person.xmax) * sx);
        EXPECT_DOUBLE_EQ(f.ymax, (y + c.person.ymax) * sy);
        ++windows;
    }
    EXPECT_GT(windows, 0u);

    for (double bytes : c.bandBytes) {
        SCOPED_TRACE(testing::Message() << "bands of " << bytes << " bytes");
        HogScanner banded(detector, settings, bytes);
        const std::vector<HogFound> inBands = banded.scan(photo);
        ASSERT_EQ(inBands.size(), found.size());
        for (size_t i = 0; i < found.size(); ++i)
            ASSERT_EQ(fields(inBands[i]), fields(found[i])) << "window " << i;
        EXPECT_EQ(banded.features(photo, places), features);
    }
}

INSTANTIATE_TEST_SUITE_P(Photographs, HogScannerTest,
                         testing::Values(
                             // 96 rows of the 64x128 window, 16 from its top, centred.
                             ScanCase{"border_three_levels",
                                      QSize(90, 140),
                                      {},
                                      {14.48, 16, 49.52, 112},
                                      8,
                                      0,
                                      8,
                                      80,
                                      1.3,
                                      {1, 90e3}},
                             ScanCase{"level_border_stride_16_lower_than_window",
                                      QSize(120, 100),
                                      {},
                                      {14.48, 16, 49.52, 112},
                                      0,
                                      16,
                                      16,
                                      70,
                                      1.25,
                                      {1, 150e3}},
                             ScanCase{"window_48x64_own_cells",
                                      QSize(110, 90),
                                      window(48, 64, false),
                                      {10, 8, 38, 56},
                                      6,
                                      4,
                                      24,
                                      50,
                                      1.4,
                                      {1, 60e3}}),
                         [](const testing::TestParamInfo<ScanCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
