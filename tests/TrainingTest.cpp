#include "Controller.h"
#include "FakeView.h"
#include "Programs.h"
#include "ReferenceHog.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "Window.h"

#include <QFile>
#include <gtest/gtest.h>

#include <vector>

namespace
{

class TrainingTest : public ScratchTest
{
protected:
    FakeView view;
    char command[1] = {'x'};
    Controller controller{view, command};

    void saveImage(int number, int w, int h)
    {
        ASSERT_TRUE(
            realLookingImage(w, h, number + 1).save(path(QString::number(number) + ".png")));
    }

    // Trains on the location file with the given lines; returns standard error.
    std::string train(const QByteArray& locations, const QString& model = "model.txt")
    {
        write("locations.txt", locations);
        view.answers = QStringList{dir.path(), path("locations.txt"), path(model)};
        testing::internal::CaptureStderr();
        testing::internal::CaptureStdout(); // the solver's progress
        controller.training();
        testing::internal::GetCapturedStdout();
        return testing::internal::GetCapturedStderr();
    }

    const Logic& logic() const { return controller.detector(); }

    std::vector<int> labels() const { return logic().trainLabels; }

    std::vector<int> row(size_t k) const
    {
        return std::vector<int>(logic().trainFeatures.at(k).begin(),
                                logic().trainFeatures.at(k).end());
    }

    std::vector<int> referenceRow(int number, int Ymin, int Xmin, int Ymax, int Xmax)
    {
        const QImage image(path(QString::number(number) + ".png"));
        std::vector<int> hist(kHistSize, 0);
        referenceMakeHOG(image, hist.data(), Ymin, Xmin, Ymax, Xmax);
        return hist;
    }
};

std::vector<int> positiveThenNegatives(int negatives)
{
    std::vector<int> labels(1 + negatives, -1);
    labels[0] = 1;
    return labels;
}

TEST_F(TrainingTest, TakesThePositiveThenNegativeWindowsClearOfTheBox)
{
    saveImage(5, 320, 200);
    train("5 0 120 200 200\n");
    ASSERT_EQ(labels(), positiveThenNegatives(11));
    EXPECT_EQ(row(0), referenceRow(5, 0, 120, 200, 200));
    const std::vector<int> starts{0, 10, 20, 30, 40, 50, 190, 200, 210, 220, 230};
    for (size_t k = 0; k < starts.size(); ++k)
        EXPECT_EQ(row(k + 1), referenceRow(5, 0, starts[k], 200, starts[k] + 80))
            << "start " << starts[k];
    EXPECT_EQ(view.reportTexts(), QStringList{"Training Completed"});
}

struct StartsCase {
    int width;
    QByteArray line;
    int negatives;
};

class NegativeStarts : public TrainingTest, public testing::WithParamInterface<StartsCase>
{
};

TEST_P(NegativeStarts, CountTheCandidateStartsLessThoseAroundTheBox)
{
    saveImage(1, GetParam().width, 200);
    train(GetParam().line);
    EXPECT_EQ(labels(), positiveThenNegatives(GetParam().negatives));
}

INSTANTIATE_TEST_SUITE_P(Widths, NegativeStarts,
                         testing::Values(StartsCase{640, "1 0 300 200 380", 43},
                                         StartsCase{80, "1 0 0 200 80", 0},
                                         StartsCase{90, "1 0 0 200 80", 0},
                                         StartsCase{90, "1 0 70 200 90", 1},
                                         StartsCase{250, "1 0 0 200 80", 10}),
                         [](const auto& info) {
                             const QList<QByteArray> box = info.param.line.split(' ');
                             return "Width" + std::to_string(info.param.width) + "Box" +
                                    box[2].toStdString() + "To" + box[4].toStdString();
                         });

TEST_F(TrainingTest, NegativesOfASmallBoxHaveItsRows)
{
    saveImage(2, 200, 220);
    train("2 10 100 150 140\n");
    ASSERT_EQ(labels(), positiveThenNegatives(4)); // starts 0 to 30; 40 to 110 skipped
    EXPECT_EQ(row(0), referenceRow(2, 10, 100, 150, 140));
    EXPECT_EQ(row(4), referenceRow(2, 10, 30, 150, 110));
}

TEST_F(TrainingTest, WritesNoModelWhenEveryRowHasOneLabel)
{
    saveImage(1, 80, 200);
    const std::string err = train("1 0 0 200 80\n");
    EXPECT_EQ(view.reportTexts(), QStringList{"Error"});
    EXPECT_FALSE(QFile::exists(path("model.txt")));
    EXPECT_NE(err.find("no model written"), std::string::npos) << err;
}

TEST_F(TrainingTest, SkipsUnusableLinesNamingEach)
{
    saveImage(1, 300, 200);
    const std::string err = train("9 0 0 200 80\n"    // no such image
                                  "1 0 100 200 100\n" // empty
                                  "1 0 250 200 330\n" // leaves the image
                                  "1 0 10 200 91\n"   // 81 wide
                                  "1 0 10 201 90\n"   // 201 high
                                  "1 -2147483648 2147483647 2147483647 -2147483648\n"
                                  "1 0 100 200 180\n");
    EXPECT_EQ(labels(), positiveThenNegatives(9));
    for (int line = 1; line <= 6; ++line)
        EXPECT_NE(err.find("locations.txt:" + std::to_string(line) + ":"), std::string::npos)
            << err;
    EXPECT_EQ(view.reportTexts(), QStringList{"Training Completed"});
}

TEST_F(TrainingTest, UnreadableLocationFileReportsOnlyError)
{
    view.answers = QStringList{dir.path(), path("none.txt"), path("model.txt")};
    testing::internal::CaptureStderr();
    controller.training();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(view.reportTexts(), QStringList{"Error"});
    EXPECT_TRUE(logic().trainFeatures.empty());
}

TEST_F(TrainingTest, UnwritableModelFileReportsError)
{
    saveImage(1, 300, 200);
    const std::string err = train("1 0 100 200 180\n", "no/such/dir/model.txt");
    EXPECT_NE(err.find("can't save model to file \n"), std::string::npos) << err;
    EXPECT_EQ(view.reportTexts(), QStringList{"Error"});
}

TEST_F(TrainingTest, GivesTheSameModelFileEveryTimeInAnyProcess)
{
    for (int n = 0; n < 3; ++n)
        saveImage(n, 260, 200);
    const QByteArray locations = "0 0 10 200 90\n1 0 150 200 230\n2 0 90 200 170\n";
    train(locations, "first.txt");
    train(locations, "second.txt");
    ASSERT_FALSE(read("first.txt").isEmpty());
    EXPECT_EQ(read("first.txt"), read("second.txt"));

    const QByteArray answers =
        (dir.path() + "\n" + path("locations.txt") + "\n" + path("third.txt") + "\n").toLocal8Bit();
    const RunResult r = runProgram(ombrecPath(), {"t"}, answers);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(read("first.txt"), read("third.txt"));
}

} // namespace
