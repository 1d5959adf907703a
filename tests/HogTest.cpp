// The block-normalised gradient histogram of whole levels: every window of a
// level against the plain reference worked from the window's own crop, and
// every window's score against its features' dot product with the weights.

#include "HogLevel.h"
#include "ReferenceBlockHog.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <ostream>
#include <random>

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

} // namespace
