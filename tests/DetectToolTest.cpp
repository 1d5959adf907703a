// ombre-detect as a user runs it: CSV rows of every photograph it can read,
// a warning and exit code 1 for one it cannot, exit code 2 for a wrong
// command line, and an output file left alone by a run that cannot work.

#include "Programs.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

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
    const struct {
        QStringList args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"--help"}, 0, "usage: ombre-detect"},
        {{"--version"}, 0, "ombre-detect 1"},
        {{"--model", model, "--out", out, "--stride", "0", photos}, 2, "--stride"},
        {{"--model", model, "--out", out, "--nms", "1.5", photos}, 2, "--nms"},
        {{"--model", model, "--out", out, "--scoring", "best", photos}, 2, "--scoring"},
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

} // namespace
