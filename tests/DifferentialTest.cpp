// Whole searches and trainings of the engine against the same work done
// window by window with the plain reference descriptor.
#include "Controller.h"
#include "FakeView.h"
#include "LocationFile.h"
#include "Painter.h"
#include "ReferenceHog.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"
#include "TestScenes.h"
#include "Window.h"

#include <QFile>
#include <gtest/gtest.h>
#include <linear.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace
{

std::vector<feature_node> featureRow(const std::vector<int>& hist)
{
    std::vector<feature_node> row(kHistSize + 1);
    for (int j = 0; j < kHistSize; ++j)
        row[j] = feature_node{j + 1, static_cast<double>(hist[j])};
    row[kHistSize] = feature_node{-1, 0.0};
    return row;
}

// The search of one image, every window described afresh from the image as
// painted so far.
QByteArray referenceSearch(QImage& image, const model* classifier, int Num)
{
    QByteArray lines;
    for (int X = 0; X < image.width() - kWindowWidth; X += 5) {
        std::vector<int> hist(kHistSize, 0);
        referenceMakeHOG(image, hist.data(), 0, X, kWindowHeight, X + kWindowWidth);
        if (predict(classifier, featureRow(hist).data()) >= 0) {
            paintBox(image, 0, X, kWindowHeight, X + kWindowWidth);
            lines += locationLine(Box{Num, 0, X, kWindowHeight, X + kWindowWidth});
        }
    }
    return lines;
}

// Seeded weights shifted so that about half of the image's windows are
// accepted: a full window holds 16000 votes, so adding d to every weight
// adds 16000 d to every window's decision value.
std::vector<double> halfAcceptingWeights(const QImage& image, unsigned seed)
{
    std::vector<double> w = mixedWeights(seed);
    std::vector<double> decisions;
    for (int X = 0; X < image.width() - kWindowWidth; X += 5) {
        std::vector<int> hist(kHistSize, 0);
        referenceMakeHOG(image, hist.data(), 0, X, kWindowHeight, X + kWindowWidth);
        double sum = 0;
        for (int j = 0; j < kHistSize; ++j)
            sum += w[j] * hist[j];
        decisions.push_back(sum);
    }
    std::nth_element(decisions.begin(), decisions.begin() + decisions.size() / 2, decisions.end());
    const double shift = -decisions[decisions.size() / 2] / (kWindowWidth * kWindowHeight);
    for (double& v : w)
        v += shift;
    return w;
}

class DifferentialTest : public ScratchTest
{
protected:
    FakeView view;
    char command[1] = {'x'};
    Controller controller{view, command};

    void expectSameSearch(const QImage& source, const std::vector<double>& weights)
    {
        writeModel(path("model.txt"), weights);
        ASSERT_TRUE(savePng(source, path("image.png")));
        view.answers = QStringList{path("image.png"), path("model.txt"), path("out.txt")};
        controller.serIn();
        ASSERT_EQ(view.reportTexts().last(), "Searching in the Image Completed");

        model* classifier = load_model(QFile::encodeName(path("model.txt")).constData());
        ASSERT_NE(classifier, nullptr);
        QImage expected = QImage(path("image.png")).convertToFormat(QImage::Format_RGB32);
        const QByteArray lines = referenceSearch(expected, classifier, 0);
        free_and_destroy_model(&classifier);

        // Only a search that accepts many windows lets outlines meet later windows.
        const int windows = (source.width() - kWindowWidth + 4) / 5;
        EXPECT_GE(lines.count('\n'), windows / 4) << "the model accepts too few windows";
        EXPECT_LT(lines.count('\n'), windows) << "the model accepts every window";
        EXPECT_EQ(read("out.txt"), lines);
        EXPECT_TRUE(*controller.detector().curImage == expected);
    }
};

TEST_F(DifferentialTest, SearchesGiveTheReferenceLinesAndPaintedPixels)
{
    const QImage images[] = {realLookingImage(640, 240, 7), realLookingImage(333, 200, 8),
                             randomImage(300, 201, 9), sceneWithFigures(480, 230, {30, 260}, 4),
                             realLookingImage(1000, 260, 5)};
    unsigned seed = 0;
    for (const QImage& image : images) {
        SCOPED_TRACE(++seed);
        expectSameSearch(image, halfAcceptingWeights(image, seed));
    }
}

// The rows that training collects, built window by window.
void referenceRows(const QString& dirPath, const std::vector<Box>& boxes,
                   std::vector<std::vector<double>>& rows, std::vector<int>& labels)
{
    for (const Box& box : boxes) {
        const QImage image = QImage(dirPath + "/" + QString::number(box.Num) + ".png")
                                 .convertToFormat(QImage::Format_RGB32);
        auto add = [&](int Xmin, int Xmax, int label) {
            std::vector<int> hist(kHistSize, 0);
            referenceMakeHOG(image, hist.data(), box.Ymin, Xmin, box.Ymax, Xmax);
            rows.emplace_back(hist.begin(), hist.end());
            labels.push_back(label);
        };
        add(box.Xmin, box.Xmax, 1);
        for (int m = 0; m < image.width() - kWindowWidth; m += 10)
            if (m < box.Xmin - 60 || m > box.Xmax - 20)
                add(m, m + kWindowWidth, -1);
    }
}

// LIBLINEAR trained as the engine trains it, written with save_model.
QByteArray referenceModelFile(const std::vector<std::vector<double>>& rows,
                              const std::vector<int>& labels, const QString& path)
{
    const int l = static_cast<int>(rows.size());
    std::vector<double> y(labels.begin(), labels.end());
    std::vector<std::vector<feature_node>> nodes;
    std::vector<feature_node*> x;
    for (const auto& r : rows) {
        nodes.push_back(featureRow(std::vector<int>(r.begin(), r.end())));
        x.push_back(nodes.back().data());
    }
    problem prob{};
    prob.l = l;
    prob.n = kHistSize;
    prob.y = y.data();
    prob.x = x.data();
    prob.bias = -1;
    parameter param{};
    param.solver_type = L2R_L2LOSS_SVC_DUAL;
    param.eps = 0.0001;
    param.C = 1;
    std::srand(1);
    model* trained = train(&prob, &param);
    save_model(QFile::encodeName(path).constData(), trained);
    free_and_destroy_model(&trained);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(DifferentialTest, TrainingCollectsTheReferenceRowsAndWritesTheSameModel)
{
    const std::vector<Box> boxes{{0, 0, 20, 200, 100}, {1, 5, 300, 190, 380}, {1, 0, 100, 200, 180},
                                 {2, 17, 33, 120, 90}, {0, 0, 200, 200, 280}, {3, 0, 0, 200, 80}};
    ASSERT_TRUE(savePng(sceneWithFigures(400, 210, {20, 200}, 1), path("0.png")));
    ASSERT_TRUE(savePng(realLookingImage(640, 240, 2), path("1.png")));
    ASSERT_TRUE(savePng(randomImage(200, 200, 3), path("2.png")));
    ASSERT_TRUE(savePng(greyRampImage(257, 200, 0, 1, 0), path("3.png")));
    QByteArray locations;
    for (const Box& b : boxes)
        locations += locationLine(b);
    write("locations.txt", locations);

    view.answers = QStringList{dir.path(), path("locations.txt"), path("model.txt")};
    testing::internal::CaptureStdout();
    controller.training();
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(view.reportTexts().last(), "Training Completed");

    std::vector<std::vector<double>> rows;
    std::vector<int> labels;
    referenceRows(dir.path(), boxes, rows, labels);
    EXPECT_EQ(controller.detector().trainLabels, labels);
    EXPECT_TRUE(controller.detector().trainFeatures == rows);
    testing::internal::CaptureStdout();
    const QByteArray expected = referenceModelFile(rows, labels, path("reference.txt"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(read("model.txt"), expected);
}

} // namespace
