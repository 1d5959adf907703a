// ombre-train as a user runs it: a detector file that ombre-detect reads, or
// a plain model file that Ombrec reads too, the same bytes on any number of
// threads, and a clear refusal, with nothing written, of inputs it cannot
// train on.

#include "Programs.h"
#include "ScratchTest.h"
#include "TestScenes.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace
{

class TrainToolTest : public ScratchTest
{
protected:
    // Four photographs of two people each, and two without, drawn by the
    // tests' own scene maker: the demo generator paints on Qt's thread pool,
    // which ThreadSanitizer cannot see into.
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("photos") && QDir(dir.path()).mkpath("empty"));
        QByteArray boxes = "photo,xmin,ymin,xmax,ymax\n";
        for (int k = 0; k < 4; ++k) {
            const std::vector<int> lefts = {20 + 10 * k, 230 - 10 * k};
            const QString name = QStringLiteral("photo-%1.png").arg(k);
            ASSERT_TRUE(savePng(sceneWithFigures(360, 260, lefts, unsigned(k) + 1),
                                path("photos/" + name)));
            // The figure's extent in its 80x200 window.
            for (int left : lefts)
                boxes += QStringLiteral("%1,%2,4,%3,196\n")
                             .arg(name)
                             .arg(left + 10)
                             .arg(left + 70)
                             .toUtf8();
        }
        write("boxes.csv", boxes);
        for (int k = 0; k < 2; ++k)
            ASSERT_TRUE(savePng(sceneWithFigures(360, 260, {}, unsigned(k) + 11),
                                path(QStringLiteral("empty/empty-%1.png").arg(k))));
    }

    RunResult train(const QStringList& args) { return runProgram(TRAIN_PATH, args, {}); }

    QStringList inputs() const
    {
        return {"--photos", path("photos"), "--csv", path("boxes.csv"), "--empty", path("empty")};
    }

    // People from 100 rows up, at few scales: no level larger than the
    // photograph, so that the sanitizers' builds train in seconds too.
    static QStringList fewScales() { return {"--min-height", "100", "--scale-step", "1.5"}; }
};

// What each descriptor writes, and whether Ombrec reads it: a detector file
// is ombre-detect's alone, a plain model file Ombrec's too.
struct Written {
    const char* name;
    QStringList args;
    const char* start;
    int ombrecExit;
};

class TrainWrittenTest : public TrainToolTest, public testing::WithParamInterface<Written>
{
};

TEST_P(TrainWrittenTest, ReadByOmbreDetectTheSameOnAnyNumberOfThreads)
{
    const Written& w = GetParam();
    const RunResult one =
        train(inputs() + fewScales() + w.args +
              QStringList{"--rounds", "1", "--threads", "1", "--out", path("one.txt")});
    ASSERT_EQ(one.exitCode, 0) << one.err.toStdString();
    EXPECT_TRUE(one.out.contains("ombre-train: round 0: ")) << one.out.toStdString();
    EXPECT_TRUE(one.out.contains("ombre-train: round 1: ")) << one.out.toStdString();
    const RunResult two =
        train(inputs() + fewScales() + w.args +
              QStringList{"--rounds", "1", "--threads", "2", "--out", path("two.txt")});
    ASSERT_EQ(two.exitCode, 0) << two.err.toStdString();
    EXPECT_TRUE(read("one.txt").startsWith(w.start)) << read("one.txt").left(200).toStdString();
    EXPECT_EQ(read("one.txt"), read("two.txt"));

    const RunResult found = runProgram(
        DETECT_PATH,
        QStringList{"--model", path("one.txt")} + fewScales() + QStringList{path("photos")}, {});
    EXPECT_EQ(found.exitCode, 0) << found.err.toStdString();
    EXPECT_TRUE(found.out.startsWith("photo,xmin,ymin,xmax,ymax,score\n"));

    // Ombrec i: the image, the model, the file of locations.
    const RunResult searched = runProgram(
        ombrecPath(), {"i"},
        (path("photos/photo-0.png") + '\n' + path("one.txt") + '\n' + path("found.txt") + '\n')
            .toLocal8Bit());
    EXPECT_EQ(searched.exitCode, w.ombrecExit) << searched.err.toStdString();
}

const Written kWritten[] = {
    {"Hog", {}, "ombre detector 1\ndescriptor hog\n", 1},
    {"Counts",
     {"--descriptor", "counts"},
     "solver_type L2R_L2LOSS_SVC_DUAL\nnr_class 2\nlabel 1 -1\nnr_feature 2000\nbias -1\nw\n",
     0},
};

INSTANTIATE_TEST_SUITE_P(Descriptors, TrainWrittenTest, testing::ValuesIn(kWritten),
                         [](const testing::TestParamInfo<Written>& info) {
                             return std::string(info.param.name);
                         });

struct Refusal {
    const char* name;
    QStringList args; // after the inputs; "@" stands for the scratch folder
    const char* csv;  // replaces boxes.csv when set
    int exitCode;
    const char* message;
};

class TrainRefusalTest : public TrainToolTest, public testing::WithParamInterface<Refusal>
{
};

TEST_P(TrainRefusalTest, SaysWhyAndWritesNothing)
{
    const Refusal& r = GetParam();
    if (r.csv)
        write("boxes.csv", r.csv);
    QStringList args = inputs();
    for (const QString& arg : r.args)
        args << QString(arg).replace('@', dir.path());
    const RunResult run = train(args);
    EXPECT_EQ(run.exitCode, r.exitCode) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(r.message)) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("out.txt")));
}

const Refusal kRefusals[] = {
    {"NoOutput", {}, nullptr, 2, "--out is needed"},
    {"OutputOverTheAnnotations", {"--out", "@/boxes.csv"}, nullptr, 2, "--csv"},
    {"AnotherDescriptor",
     {"--descriptor", "sift", "--out", "@/out.txt"},
     nullptr,
     2,
     "--descriptor takes hog or counts, not sift"},
    {"MissingPhotograph",
     {"--out", "@/out.txt"},
     "photo,xmin,ymin,xmax,ymax\nnone.png,1,1,50,150\n",
     1,
     "none.png"},
    {"BoxOutsideItsPhotograph",
     {"--out", "@/out.txt"},
     "photo,xmin,ymin,xmax,ymax\nphoto-0.png,5000,1,5050,150\n",
     1,
     "leaves the photograph"},
    {"NobodyTallEnough",
     {"--min-height", "1000", "--out", "@/out.txt"},
     nullptr,
     1,
     "no person at least 1000 pixels high"},
    {"EmptyFolderWithoutPhotographs",
     {"--empty", "@/photos/none", "--out", "@/out.txt"},
     nullptr,
     1,
     "no PNG or JPEG"},
};

INSTANTIATE_TEST_SUITE_P(Inputs, TrainRefusalTest, testing::ValuesIn(kRefusals),
                         [](const testing::TestParamInfo<Refusal>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
