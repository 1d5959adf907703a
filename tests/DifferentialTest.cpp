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
                   std::vector<std::vector<int>>& rows, std::vector<int>& labels)
{
    for (const Box& box : boxes) {
        const QImage image = QImage(dirPath + "/" + QString::number(box.Num) + ".png")
                                 .convertToFormat(QImage::Format_RGB32);
        auto add = [&](int Xmin, int Xmax, int label) {
            std::vector<int> hist(kHistSize, 0);
            referenceMakeHOG(image, hist.data(), box.Ymin, Xmin, box.Ymax, Xmax);
            rows.push_back(hist);
            labels.push_back(label);
        };
        add(box.Xmin, box.Xmax, 1);
        for (int m = 0; m < image.width() - kWindowWidth; m += 10)
            if (m < box.Xmin - 60 || m > box.Xmax - 20)
                add(m, m + kWindowWidth, -1);
    }
}

// LIBLINEAR trained as the engine first trained it, on full rows of 2000
// features, written with save_model.
QByteArray referenceModelFile(const std::vector<std::vector<int>>& rows,
                              const std::vector<int>& labels, const QString& path)
{
    const int l = static_cast<int>(rows.size());
    std::vector<double> y(labels.begin(), labels.end());
    std::vector<std::vector<feature_node>> nodes;
    std::vector<feature_node*> x;
    for (const auto& r : rows) {
        nodes.push_back(featureRow(r));
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

// What a training shows the user.
struct TrainingRun {
    QByteArray model;
    std::string err;
    QStringList images;
    std::vector<std::pair<int, int>> progress;
};

TEST_F(DifferentialTest, TrainingCollectsTheReferenceRowsAndWritesTheSameModelOnAnyThreads)
{
    std::vector<Box> boxes{{0, 0, 20, 200, 100}, {1, 5, 300, 190, 380}, {1, 0, 100, 200, 180},
                           {2, 17, 33, 120, 90}, {0, 0, 200, 200, 280}, {3, 0, 0, 200, 80}};
    ASSERT_TRUE(savePng(sceneWithFigures(400, 210, {20, 200}, 1), path("0.png")));
    ASSERT_TRUE(savePng(realLookingImage(640, 240, 2), path("1.png")));
    ASSERT_TRUE(savePng(randomImage(200, 200, 3), path("2.png")));
    ASSERT_TRUE(savePng(greyRampImage(257, 200, 0, 1, 0), path("3.png")));
    // Strips of one figure each, as the demo's training set has.
    for (int Num = 10; Num < 15; ++Num) {
        const int left = 37 * Num % 160;
        ASSERT_TRUE(savePng(sceneWithFigures(240 + 20 * Num, 200 + Num, {left}, Num),
                            path(QString::number(Num) + ".png")));
        boxes.push_back(Box{Num, 0, left, 200, left + 80});
    }
    // Skipped lines: boxes that leave their image, and an image that is not
    // there, twice, whose warnings are ready before those of the image above.
    QByteArray locations;
    for (size_t k = 0; k < boxes.size(); ++k)
        locations += (k == 3 ? "1 0 600 200 680\n9 0 0 200 80\n9 0 0 200 80\n" : "") +
                     locationLine(boxes[k]);
    write("locations.txt", locations + "2 0 150 200 230\n");

    std::vector<std::vector<int>> rows;
    std::vector<int> labels;
    referenceRows(dir.path(), boxes, rows, labels);
    testing::internal::CaptureStdout();
    const QByteArray expected = referenceModelFile(rows, labels, path("reference.txt"));
    testing::internal::GetCapturedStdout();

    std::vector<TrainingRun> runs;
    for (const char* threads : {"1", "4"}) {
        SCOPED_TRACE(threads);
        qputenv("OMBRE_THREADS", threads);
        Logic logic;
        logic.curCat = dir.path();
        logic.curInFile = path("locations.txt");
        logic.curModelFile = path("model.txt");
        TrainingRun run;
        logic.onImage = [&](const QString& text) { run.images << text; };
        logic.onProgress = [&](int done, int total) { run.progress.emplace_back(done, total); };
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout();
        EXPECT_TRUE(logic.getFilesTr());
        testing::internal::GetCapturedStdout();
        run.err = testing::internal::GetCapturedStderr();
        run.model = read("model.txt");
        EXPECT_EQ(logic.trainLabels, labels);
        EXPECT_TRUE(std::equal(logic.trainFeatures.begin(), logic.trainFeatures.end(), rows.begin(),
                               rows.end(), [](const auto& row, const auto& reference) {
                                   return std::equal(row.begin(), row.end(), reference.begin());
                               }));
        EXPECT_EQ(run.model, expected);
        EXPECT_EQ(logic.curImage->size(), QSize(200, 200)); // the last image, 2.png
        runs.push_back(run);
    }
    qunsetenv("OMBRE_THREADS");
    // Runs of lines on one image: 0, 1, 9, 2, 0, 3, the strips, 2.
    ASSERT_EQ(runs[0].images.size(), 12);
    EXPECT_EQ(runs[0].images[2], "Training on 9.png");
    EXPECT_EQ(runs[0].progress.back(), std::make_pair(12, 12));
    EXPECT_EQ(runs[0].progress.size(), 12u);
    const size_t lastWarning = runs[0].err.find("locations.txt:15: the box leaves");
    EXPECT_NE(lastWarning, std::string::npos) << runs[0].err;
    EXPECT_LT(runs[0].err.find("locations.txt:4: the box leaves"),
              runs[0].err.find("locations.txt:5: image not loaded"));
    EXPECT_LT(runs[0].err.find("locations.txt:6: image not loaded"), lastWarning);
    for (const TrainingRun& run : runs) {
        EXPECT_EQ(run.err, runs[0].err);
        EXPECT_EQ(run.images, runs[0].images);
        EXPECT_EQ(run.progress, runs[0].progress);
    }
}

} // namespace
