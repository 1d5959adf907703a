// ombre-detect as a user runs it: CSV rows of every photograph it can read,
// a warning and exit code 1 for one it cannot, exit code 2 for a wrong
// command line, and an output file left alone by a run that cannot work.

#include "GreenPixels.h"
#include "Programs.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

#include <unistd.h>
#include <utility>

namespace
{

class DetectToolTest : public ScratchTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("photos/sub"));
        ASSERT_TRUE(realLookingImage(300, 260, 1).save(path("photos/a.png")));
        ASSERT_TRUE(realLookingImage(240, 330, 2).save(path("photos/sub/b.jpg")));
        write("photos/broken.png", "not a photograph");
        write("photos/notes.txt", "not looked at");
        // Every window scores its 16000 votes.
        writeModel(path("model.txt"), acceptAllWeights());
    }

    RunResult detect(const QStringList& args) { return runProgram(DETECT_PATH, args, {}); }

    // The rows after the header, split at the commas; fails on a bad header.
    static std::vector<QStringList> rows(const QByteArray& csv)
    {
        QList<QByteArray> lines = csv.split('\n');
        EXPECT_EQ(lines.value(0), "photo,xmin,ymin,xmax,ymax,score");
        EXPECT_EQ(lines.value(lines.size() - 1), "");
        std::vector<QStringList> split;
        for (int i = 1; i + 1 < lines.size(); ++i)
            split.push_back(QString::fromUtf8(lines[i]).split(','));
        return split;
    }
};

TEST_F(DetectToolTest, WritesRowsOfEveryReadablePhotographAndSkipsABrokenOne)
{
    // The directory as a relative path: names are still relative to it.
    const RunResult run =
        detect({"--model", path("model.txt"), "--out", path("found.csv"), "--threads", "2",
                QDir::current().relativeFilePath(path("photos"))});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("broken.png")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(path("found.csv.part")));
    QStringList photos;
    for (const QStringList& row : rows(read("found.csv"))) {
        ASSERT_EQ(row.size(), 6) << row.join(',').toStdString();
        const QSize size = row[0] == "a.png" ? QSize(300, 260) : QSize(240, 330);
        EXPECT_TRUE(row[1].toInt() >= 0 && row[1].toInt() < row[3].toInt() &&
                    row[3].toInt() <= size.width())
            << row.join(',').toStdString();
        EXPECT_TRUE(row[2].toInt() >= 0 && row[2].toInt() < row[4].toInt() &&
                    row[4].toInt() <= size.height())
            << row.join(',').toStdString();
        EXPECT_EQ(row[5], "16000");
        if (photos.isEmpty() || photos.back() != row[0])
            photos << row[0];
    }
    // In directory order, the subdirectory's photograph under its relative name.
    EXPECT_EQ(photos, QStringList({"a.png", "sub/b.jpg"}));

    // A file argument: its rows name it as given; without --out they go to
    // standard output.
    const RunResult one = detect({"--model", path("model.txt"), "--draw", path("drawn"), "--sheet",
                                  path("sheet.png"), path("photos/a.png")});
    EXPECT_EQ(one.exitCode, 0) << one.err.toStdString();
    const std::vector<QStringList> found = rows(one.out);
    ASSERT_FALSE(found.empty());
    for (const QStringList& row : found)
        EXPECT_EQ(row[0], path("photos/a.png"));
    EXPECT_FALSE(QImage(QDir(path("drawn")).filePath(path("photos/a.png").mid(1))).isNull());
    EXPECT_FALSE(QImage(path("sheet.png")).isNull());
}

TEST_F(DetectToolTest, AnswersTheCommandLineAndLeavesTheOutputAloneWhenItCannotWork)
{
    write("found.csv", "earlier rows\n");
    const QString model = path("model.txt");
    const QString out = path("found.csv");
    const QString photos = path("photos");
    // A hog detector of the 64x128 window, every weight 0.
    writeModel(path("weights.txt"), std::vector<double>(3780, 0.0));
    const QString detector = write("detector.txt", "ombre detector 1\n"
                                                   "descriptor hog\n"
                                                   "window 64 128\n"
                                                   "person 14.48 16 49.52 112\n"
                                                   "model\n" +
                                                       read("weights.txt"));
    const struct {
        QStringList args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"--help"}, 0, "usage: ombre-detect"},
        {{"--version"}, 0, "ombre-detect 1"},
        {{"--model", model, "--out", out, "--stride", "0", photos}, 2, "--stride"},
        {{"--model", model, "--out", out, "--nms", "1.5", photos}, 2, "--nms"},
        {{"--model", detector, "--out", out, "--stride", "4", photos},
         2,
         "--stride 4: a hog detector's windows lie on an 8-pixel grid; give a multiple of 8"},
        {{"--model", model, "--out", out, "--border", "-8", photos}, 2, "--border takes"},
        {{"--model", model, "--out", out, "--level-border", "257", photos}, 2, "--level-border"},
        {{"--model", model, "--out", out, "--scoring", "best", photos}, 2, "--scoring"},
        {{"--model", model, "--out", out, "--draw-threshold", "high", photos}, 2, "not high"},
        {{"--model", model, "--out", out, "--draw-threshold=inf", photos}, 2, "not inf"},
        {{"--model", model, "--out", out, "--frobnicate", "1", photos}, 2, "--frobnicate"},
        {{"--model", model, "--out", out}, 2, "usage: ombre-detect"},
        {{"--out", out, photos}, 2, "--model"},
        {{"--model", path("missing.txt"), "--out", out, photos}, 1, "missing.txt"},
    };
    for (const auto& c : cases) {
        const RunResult run = detect(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE((c.exitCode == 0 ? run.out : run.err).contains(c.says))
            << c.args.join(' ').toStdString() << ": " << (run.out + run.err).toStdString();
        EXPECT_EQ(read("found.csv"), "earlier rows\n") << c.args.join(' ').toStdString();
    }
}

// The pictures show the boxes from --draw-threshold up, 0 unless given, and
// the rows every box down to --threshold: below it there are no boxes.
TEST_F(DetectToolTest, DrawsTheBoxesFromTheDrawThresholdUpAndWritesEveryRow)
{
    writeModel(path("mixed.txt"), mixedWeights(7));
    const QString photo = path("photos/a.png");
    const auto search = [&](const QStringList& more, bool& belowZero) {
        const RunResult run = detect(QStringList{"--model", path("mixed.txt"), "--draw",
                                                 path("drawn"), "--sheet", path("s.png"), photo} +
                                     more);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        belowZero = run.out.contains(",-");
        return std::pair(greenPixels(QImage(path("drawn") + photo)), QImage(path("s.png")));
    };
    bool belowZero = false;
    const auto kept = search({}, belowZero);
    ASSERT_FALSE(kept.first.empty());
    const struct {
        QStringList args;
        bool belowZero; // rows that score below 0
        bool asKept;    // the pictures of the run above
    } cases[] = {
        {{"--threshold", "-1e9"}, true, true},
        {{"--draw-threshold", "-1e9"}, false, true},
        {{"--threshold", "-1e9", "--draw-threshold", "-1e9"}, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(search(c.args, belowZero) == kept, c.asKept) << c.args.join(' ').toStdString();
        EXPECT_EQ(belowZero, c.belowZero) << c.args.join(' ').toStdString();
    }
}

// A photograph that is not searched: the tool says why in its own words,
// counts it as skipped, and the image library says nothing.
struct Unsearched {
    const char* what;
    const char* file;
    int side;     // of the square photograph
    int cutBytes; // taken off the end of its file
    bool locked;  // meaningless for root, who reads it anyway
    const char* says;
    int exitCode;
};

class UnsearchedPhotoTest : public DetectToolTest, public testing::WithParamInterface<Unsearched>
{
};

TEST_P(UnsearchedPhotoTest, IsReportedInTheToolsWordsAndCountedAsSkipped)
{
    const Unsearched& row = GetParam();
    if (row.locked && geteuid() == 0)
        GTEST_SKIP() << "root reads a file whatever its mode";
    const QString photo = path(row.file);
    ASSERT_TRUE(realLookingImage(row.side, row.side, 3).save(photo));
    ASSERT_TRUE(QFile::resize(photo, QFileInfo(photo).size() - row.cutBytes));
    ASSERT_TRUE(QFile::setPermissions(photo, row.locked ? QFile::Permissions() : QFile::ReadOwner));
    const RunResult run = detect(
        {"--model", path("model.txt"), "--out", path("found.csv"), path("photos/a.png"), photo});
    EXPECT_EQ(run.exitCode, row.exitCode);
    EXPECT_TRUE(run.err.contains(QStringLiteral("%1: %2").arg(photo, row.says).toUtf8()))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(" in 1 photograph, skipped 1;")) << run.out.toStdString();
    for (const QByteArray& line : run.err.trimmed().split('\n'))
        EXPECT_TRUE(line.startsWith("ombre-detect: ")) << line.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Photographs, UnsearchedPhotoTest,
    testing::Values(Unsearched{"CutShortJpeg", "cut.jpg", 300, 5000, false,
                               "can't read the photograph: the file is damaged", 1},
                    Unsearched{"CutShortPng", "cut.png", 300, 5000, false,
                               "can't read the photograph: the file is damaged", 1},
                    Unsearched{"Unreadable", "locked.png", 300, 0, true,
                               "can't read the photograph: Permission denied", 1},
                    Unsearched{"OnePixel", "dot.png", 1, 0, false,
                               "the photograph, 1x1 pixels, holds the window", 0}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(DetectToolTest, NamesThePhotographsOfSeveralDirectoriesApart)
{
    for (const char* name : {"one/x.png", "two/x.png", "far/one/x.png"}) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(QFileInfo(name).path()));
        ASSERT_TRUE(realLookingImage(240, 260, qHash(name)).save(path(name)));
    }
    const struct {
        QStringList inputs;
        int exitCode;
        QStringList names; // of the rows, and of the drawings under drawn/
        const char* says;  // "$D" for the directory
    } cases[] = {
        {{"one"}, 0, {"x.png"}, ""},
        {{"one", "two"}, 0, {"one/x.png", "two/x.png"}, ""},
        {{"one", "far/one"}, 2, {}, "$D/one/x.png and $D/far/one/x.png would both be named one/"},
    };
    for (const auto& c : cases) {
        // One thread: the names are the point here. Scores drawn as text on
        // several threads meet in Qt's font cache, whose locks
        // ThreadSanitizer cannot see inside the uninstrumented library.
        QStringList args{"--model", path("model.txt"), "--draw", path("drawn"), "--threads", "1"};
        for (const QString& input : c.inputs)
            args << path(input);
        const RunResult run = detect(args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString(c.says).replace("$D", dir.path()).toUtf8()))
            << run.err.toStdString();
        for (const QString& name : c.names) {
            EXPECT_TRUE(run.out.contains(('\n' + name + ',').toUtf8())) << name.toStdString();
            EXPECT_TRUE(QFile::exists(path("drawn/" + name))) << name.toStdString();
        }
    }
}

} // namespace
