#include "Controller.h"
#include "FakeView.h"
#include "Painter.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QFile>
#include <gtest/gtest.h>

namespace
{

class SearchTest : public ScratchTest
{
protected:
    FakeView view;
    char command[1] = {'x'};
    Controller controller{view, command};

    void saveImage(int number, int w, int h, unsigned seed = 1)
    {
        ASSERT_TRUE(realLookingImage(w, h, seed).save(path(QString::number(number) + ".png")));
    }

    QByteArray output() const
    {
        QFile file(path("out.txt"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    // Runs a command with the answers given and returns what it printed on
    // standard error.
    std::string run(void (Controller::*command)(), const QStringList& answers)
    {
        view.answers = answers;
        testing::internal::CaptureStderr();
        (controller.*command)();
        return testing::internal::GetCapturedStderr();
    }

    std::string searchImage(const QString& image, const QString& model = "model.txt")
    {
        return run(&Controller::serIn, {path(image), path(model), path("out.txt")});
    }

    std::string searchDirectory(const QByteArray& names, const QString& model = "model.txt")
    {
        write("names.txt", names);
        return run(&Controller::serDir,
                   {dir.path(), path("names.txt"), path(model), path("out.txt")});
    }

    QStringList reports() const { return view.reportTexts(); }
};

struct WidthCase {
    int width;
    QByteArray lines;
};

class WindowPositions : public SearchTest, public testing::WithParamInterface<WidthCase>
{
};

TEST_P(WindowPositions, StepFiveColumnsWhileTheWindowEndsBeforeTheRightEdge)
{
    writeModel(path("model.txt"), acceptAllWeights());
    saveImage(0, GetParam().width, 200);
    searchImage("0.png");
    EXPECT_EQ(reports(), QStringList{"Searching in the Image Completed"});
    EXPECT_EQ(output(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Widths, WindowPositions,
                         testing::Values(WidthCase{80, ""}, WidthCase{40, ""},
                                         WidthCase{81, "0  0  0  200  80\n"},
                                         WidthCase{85, "0  0  0  200  80\n"},
                                         WidthCase{86, "0  0  0  200  80\n0  0  5  200  85\n"},
                                         WidthCase{100, "0  0  0  200  80\n0  0  5  200  85\n"
                                                        "0  0  10  200  90\n0  0  15  200  95\n"}),
                         [](const auto& info) {
                             return "Width" + std::to_string(info.param.width);
                         });

TEST_F(SearchTest, DrawsEveryAcceptedWindowIntoTheImage)
{
    writeModel(path("model.txt"), acceptAllWeights());
    saveImage(0, 100, 240);
    searchImage("0.png");
    const QImage& image = *controller.detector().curImage;
    for (int X : {0, 5, 10, 15}) {
        EXPECT_EQ(image.pixel(X, 100), kBoxColour);
        EXPECT_EQ(image.pixel(X + 80, 198), kBoxColour);
        EXPECT_EQ(image.pixel(X + 40, 200), kBoxColour);
    }
    EXPECT_EQ(controller.detector().myModel, nullptr);
}

TEST_F(SearchTest, ARejectingModelWritesNothingAndLeavesTheImageAlone)
{
    writeModel(path("model.txt"), std::vector<double>(2000, -1.0));
    saveImage(0, 300, 220);
    searchImage("0.png");
    EXPECT_EQ(output(), "");
    EXPECT_EQ(*controller.detector().curImage, realLookingImage(300, 220, 1));
}

TEST_F(SearchTest, DirectorySearchStopsAtTheFirstImageThatFailsKeepingEarlierLines)
{
    writeModel(path("model.txt"), acceptAllWeights());
    saveImage(3, 86, 200);
    saveImage(12, 86, 200);
    const std::string err = searchDirectory("3\n7\n12\n");
    EXPECT_EQ(reports(), QStringList{"Error"});
    EXPECT_EQ(output(), "3  0  0  200  80\n3  0  5  200  85\n");
    EXPECT_NE(err.find("7.png"), std::string::npos) << err;
}

TEST_F(SearchTest, DirectorySearchFollowsTheNamesFileLineByLine)
{
    writeModel(path("model.txt"), acceptAllWeights());
    saveImage(3, 85, 200);
    saveImage(5, 85, 200);
    searchDirectory("   5 five\n\n3\r\n5\n");
    EXPECT_EQ(reports(), QStringList{"Searching in the directory Completed"});
    EXPECT_EQ(output(), "5  0  0  200  80\n3  0  0  200  80\n5  0  0  200  80\n");
}

TEST_F(SearchTest, EmptyNamesFileCompletesWithAnEmptyOutput)
{
    writeModel(path("model.txt"), acceptAllWeights());
    write("out.txt", "old lines\n");
    searchDirectory("");
    EXPECT_EQ(reports(), QStringList{"Searching in the directory Completed"});
    EXPECT_EQ(output(), "");
}

TEST_F(SearchTest, ImagesLowerThanTheWindowAreSkippedWithAWarning)
{
    writeModel(path("model.txt"), acceptAllWeights());
    saveImage(1, 300, 199);
    saveImage(2, 85, 200);
    const std::string err = searchDirectory("1\n2\n");
    EXPECT_EQ(reports(), QStringList{"Searching in the directory Completed"});
    EXPECT_EQ(output(), "2  0  0  200  80\n");
    EXPECT_NE(err.find("1.png is 199 rows high"), std::string::npos) << err;
}

TEST_F(SearchTest, NumbersBeyond999KeepTheirFullDecimalForm)
{
    writeModel(path("model.txt"), acceptAllWeights());
    saveImage(1234, 85, 200);
    EXPECT_EQ(searchDirectory("1234\n").find("error"), std::string::npos);
    EXPECT_EQ(output(), "1234  0  0  200  80\n");
    EXPECT_NE(searchDirectory("-5\n").find("-5.png"), std::string::npos);
    EXPECT_EQ(reports().last(), "Error");
}

TEST_F(SearchTest, UnopenableNamesFileReportsError)
{
    writeModel(path("model.txt"), acceptAllWeights());
    run(&Controller::serDir, {dir.path(), path("none.txt"), path("model.txt"), path("out.txt")});
    EXPECT_EQ(reports(), QStringList{"Error"});
    EXPECT_EQ(output(), "(missing)");
}

TEST_F(SearchTest, UnwritableOutputReportsError)
{
    writeModel(path("model.txt"), acceptAllWeights());
    saveImage(0, 85, 200);
    const std::string err =
        run(&Controller::serIn, {path("0.png"), path("model.txt"), path("no/such/dir/out.txt")});
    EXPECT_EQ(reports(), QStringList{"Error"});
    EXPECT_NE(err.find("no/such/dir/out.txt"), std::string::npos) << err;
}

struct ModelCase {
    const char* name;
    std::vector<double> w;
    double bias;
    int nrClass;
};

class RefusedModels : public SearchTest, public testing::WithParamInterface<ModelCase>
{
};

TEST_P(RefusedModels, ReportCantLoadAndKeepTheEarlierOutput)
{
    writeModel(path("model.txt"), GetParam().w, GetParam().bias, GetParam().nrClass);
    saveImage(0, 85, 200);
    write("out.txt", "old lines\n");
    searchImage("0.png");
    EXPECT_EQ(reports(), QStringList{"can't load model from file"});
    EXPECT_EQ(output(), "old lines\n");
    EXPECT_EQ(controller.detector().myModel, nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Models, RefusedModels,
    testing::Values(ModelCase{"FeatureCount1999", std::vector<double>(1999, 1.0), -1, 2},
                    ModelCase{"WithABias", std::vector<double>(2001, 1.0), 1, 2},
                    ModelCase{"ThreeClasses", std::vector<double>(2000, 1.0), -1, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SearchTest, MissingModelReportsCantLoad)
{
    saveImage(0, 85, 200);
    searchImage("0.png", "missing-model.txt");
    EXPECT_EQ(reports(), QStringList{"can't load model from file"});
    EXPECT_EQ(output(), "(missing)");
}

} // namespace
