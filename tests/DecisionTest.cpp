#include "Decision.h"
#include "ReferenceHog.h"
#include "TestImages.h"
#include "TestModels.h"
#include "Window.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace
{

struct ModelFree {
    void operator()(model* m) const { free_and_destroy_model(&m); }
};
using ModelPtr = std::unique_ptr<model, ModelFree>;

ModelPtr loadWeights(const QTemporaryDir& dir, const std::vector<double>& w)
{
    const QString path = dir.filePath("model.txt");
    writeModel(path, w);
    return ModelPtr(load_model(QFile::encodeName(path).constData()));
}

bool predictAccepts(const model& m, const std::vector<int>& hist)
{
    std::vector<feature_node> row(kHistSize + 1);
    for (int j = 0; j < kHistSize; ++j)
        row[j] = feature_node{j + 1, static_cast<double>(hist[j])};
    row[kHistSize] = feature_node{-1, 0.0};
    return predict(&m, row.data()) >= 0;
}

// Histograms of real-looking windows and of random sparse counts.
std::vector<std::vector<int>> histograms()
{
    std::vector<std::vector<int>> all;
    const QImage image = realLookingImage(400, 200, 11);
    for (int X = 0; X + kWindowWidth <= image.width(); X += 15) {
        std::vector<int> hist(kHistSize, 0);
        referenceMakeHOG(image, hist.data(), 0, X, kWindowHeight, X + kWindowWidth);
        all.push_back(hist);
    }
    std::mt19937 random(5);
    for (int k = 0; k < 200; ++k) {
        std::vector<int> hist(kHistSize, 0);
        for (int v = 0; v < 50; ++v)
            hist[random() % kHistSize] += static_cast<int>(random() % 64);
        all.push_back(hist);
    }
    return all;
}

TEST(DecisionTest, AgreesWithPredictOnEveryWindow)
{
    QTemporaryDir dir;
    const std::vector<std::vector<int>> hists = histograms();
    size_t accepted = 0;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        // Offsets around the point where the real windows change sides.
        const ModelPtr m = loadWeights(dir, mixedWeights(seed, (seed % 5) * 0.004 - 0.008));
        ASSERT_NE(m, nullptr);
        for (const std::vector<int>& hist : hists) {
            ASSERT_EQ(acceptsWindow(*m, hist.data()), predictAccepts(*m, hist)) << seed;
            accepted += predictAccepts(*m, hist);
        }
    }
    // The models put windows on both sides, so both answers were compared.
    EXPECT_GT(accepted, 0u);
    EXPECT_LT(accepted, 20 * hists.size());
}

TEST(DecisionTest, RejectsASumOfExactlyZeroAsPredictDoes)
{
    QTemporaryDir dir;
    std::vector<double> w(kHistSize, 0.0);
    w[3] = 0.1;
    w[700] = -0.1;
    const ModelPtr m = loadWeights(dir, w);
    std::vector<int> hist(kHistSize, 0);
    hist[3] = 7;
    hist[700] = 7;
    EXPECT_FALSE(predictAccepts(*m, hist));
    EXPECT_FALSE(acceptsWindow(*m, hist.data()));
    hist[3] = 8;
    EXPECT_TRUE(acceptsWindow(*m, hist.data()));
}

TEST(DecisionTest, FollowsTheOrderOfTheModelsLabels)
{
    QTemporaryDir dir;
    ModelPtr m = loadWeights(dir, acceptAllWeights());
    std::vector<int> hist(kHistSize, 1);
    std::swap(m->label[0], m->label[1]); // object label second
    EXPECT_EQ(acceptsWindow(*m, hist.data()), predictAccepts(*m, hist));
    EXPECT_FALSE(acceptsWindow(*m, hist.data()));
}

} // namespace
