#include "DemoPhotos.h"
#include "LocationFile.h"
#include "Programs.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"
#include "TestScenes.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <set>
#include <unistd.h>

namespace
{

// Runs the preparation tool from the scratch directory's root.
class PrepareToolTest : public ScratchTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("photos"));
        write("photos/notes.png", "a text, not a photograph");
    }

    RunResult prepare(QStringList args) { return runProgram(PREPARE_PATH, args, QByteArray()); }

    // A photograph of random pixels with a person-sized box at x, y.
    void addPhoto(const QString& name, int w, int h, const QString& box)
    {
        ASSERT_TRUE(savePng(realLookingImage(w, h, qHash(name)), path("photos/" + name)));
        csv += name.toUtf8() + ',' + box.toUtf8() + '\n';
    }

    QStringList argsFor(const QString& out, QStringList more = {})
    {
        write("boxes.csv", "photo,xmin,ymin,xmax,ymax\n" + csv);
        return QStringList{"--photos", path("photos"), "--csv", path("boxes.csv")} + more +
               QStringList{path(out)};
    }

    std::vector<Box> boxes(const QString& name)
    {
        QByteArray text = read(name);
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        std::vector<Box> read;
        EXPECT_TRUE(readLocations(buffer, name, read));
        return read;
    }

    // The rows of sources.csv after its header, split at the commas.
    std::vector<QStringList> sources(const QString& out)
    {
        std::vector<QStringList> rows;
        const QList<QByteArray> lines = read(out + "/sources.csv").split('\n');
        for (int i = 1; i < lines.size(); ++i)
            if (!lines[i].isEmpty())
                rows.push_back(QString::fromUtf8(lines[i]).split(','));
        return rows;
    }

    // Nothing of a failed run: no output directory and no staging directory.
    void expectNothingWritten(const QString& out)
    {
        EXPECT_FALSE(QFileInfo::exists(path(out))) << out.toStdString();
        const QStringList left =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        EXPECT_EQ(left.filter(".partial").size(), 0) << left.join(' ').toStdString();
    }

    QByteArray csv;
};

TEST_F(PrepareToolTest, WritesSetsThatTheDetectorTakes)
{
    for (int k = 0; k < 12; ++k)
        addPhoto(QStringLiteral("p%1.png").arg(k), 500 + 10 * k, 420, "200,30,240,330");
    const RunResult run = prepare(argsFor("out", {"--test-share", "0.25", "--seed", "3"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    const std::vector<Box> train = boxes("out/train.txt");
    const std::vector<Box> right = boxes("out/test-right.txt");
    ASSERT_EQ(train.size(), 9u);
    ASSERT_EQ(right.size(), 3u);
    EXPECT_EQ(read("out/test-names.txt"), "0\n1\n2\n");
    for (const auto& [set, found] :
         {std::pair{QString("train"), train}, std::pair{QString("test"), right}}) {
        for (int k = 0; k < static_cast<int>(found.size()); ++k) {
            const Box& b = found[k];
            EXPECT_EQ(b.Num, k);
            const QImage strip(path(QStringLiteral("out/%1/%2.png").arg(set).arg(k)));
            ASSERT_FALSE(strip.isNull());
            EXPECT_GE(strip.height(), 200);
            EXPECT_LE(strip.height(), 240);
            EXPECT_LE(strip.width(), 320);
            EXPECT_EQ(b.Ymin, 0);
            EXPECT_EQ(b.Ymax, 200);
            EXPECT_EQ(b.Xmax - b.Xmin, 80);
            EXPECT_GE(b.Xmin, 0);
            EXPECT_LE(b.Xmax, strip.width());
        }
    }
    EXPECT_TRUE(run.out.contains("training: 9 strips")) << run.out.toStdString();
}

TEST_F(PrepareToolTest, NeverPutsAPhotographInBothSets)
{
    for (int k = 0; k < 20; ++k) {
        addPhoto(QStringLiteral("p%1.png").arg(k), 400, 300, "100,20,140,220");
        csv += QStringLiteral("p%1.png,250,20,290,220\n").arg(k).toUtf8();
    }
    ASSERT_EQ(prepare(argsFor("a", {"--seed", "11", "--test-share", "0.5"})).exitCode, 0);
    std::map<QString, std::set<QString>> setsOf;
    for (const QStringList& row : sources("a"))
        setsOf[row[2]].insert(row[0]);
    ASSERT_EQ(setsOf.size(), 20u);
    int test = 0;
    for (const auto& [photo, sets] : setsOf) {
        EXPECT_EQ(sets.size(), 1u) << photo.toStdString();
        test += sets.count("test");
    }
    EXPECT_EQ(test, 10);

    // The same seed splits the same way; another seed another way.
    ASSERT_EQ(prepare(argsFor("b", {"--seed", "11", "--test-share", "0.5"})).exitCode, 0);
    ASSERT_EQ(prepare(argsFor("c", {"--seed", "12", "--test-share", "0.5"})).exitCode, 0);
    EXPECT_EQ(read("a/sources.csv"), read("b/sources.csv"));
    EXPECT_NE(read("a/sources.csv"), read("c/sources.csv"));
}

TEST_F(PrepareToolTest, MirrorsEveryTrainingStripWithItsBoxes)
{
    // The person stands left of the middle so that the mirrored box moves.
    addPhoto("a.png", 700, 500, "150,40,190,340");
    ASSERT_EQ(prepare(argsFor("out", {"--mode", "train", "--mirror"})).exitCode, 0);
    const std::vector<Box> train = boxes("out/train.txt");
    ASSERT_EQ(train.size(), 2u);
    const QImage strip(path("out/train/0.png"));
    const QImage mirrored(path("out/train/1.png"));
    ASSERT_EQ(strip.size(), mirrored.size());
    const int w = strip.width();
    EXPECT_EQ(train[1].Xmin, w - train[0].Xmax);
    EXPECT_EQ(train[1].Xmax, w - train[0].Xmin);
    EXPECT_NE(train[1].Xmin, train[0].Xmin);
    for (int y = 0; y < strip.height(); y += 13)
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(mirrored.pixel(w - 1 - x, y), strip.pixel(x, y)) << x << "," << y;
}

TEST_F(PrepareToolTest, CutsPhotographsWithoutPeopleIntoTestStripsAndSkipsThoseTooSmall)
{
    addPhoto("a.png", 600, 400, "200,40,240,340");
    ASSERT_TRUE(QDir(dir.path()).mkpath("empty"));
    ASSERT_TRUE(savePng(realLookingImage(800, 600, 1), path("empty/street.png")));
    ASSERT_TRUE(savePng(realLookingImage(500, 700, 2), path("empty/room.png")));
    // A pixel: no row of it is left at a person's scale.
    ASSERT_TRUE(savePng(realLookingImage(1, 1, 3), path("empty/tiny.png")));
    write("empty/notes.txt", "not a photograph");
    const RunResult run = prepare(
        argsFor("out", {"--mode", "test", "--empty", path("empty"), "--empty-strips", "2"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(read("out/test-names.txt"), "0\n1\n2\n3\n4\n");
    const std::vector<Box> right = boxes("out/test-right.txt");
    ASSERT_EQ(right.size(), 1u);
    EXPECT_EQ(right[0].Num, 0);
    EXPECT_FALSE(QFileInfo::exists(path("out/train.txt")));
    EXPECT_TRUE(run.out.contains("(4 strips without people)")) << run.out.toStdString();
    EXPECT_TRUE(run.out.contains("2 strips too small to cut")) << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("warning: " + path("empty/tiny.png").toUtf8() + ": "))
        << run.err.toStdString();
}

TEST_F(PrepareToolTest, TakesAPhotographNamedTwoWaysAsOne)
{
    addPhoto("a.png", 600, 400, "100,40,140,340");
    csv += "./a.png,400,40,440,340\n";
    const RunResult run = prepare(argsFor("out", {"--mode", "train"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("from 1 photograph\n")) << run.out.toStdString();
    EXPECT_EQ(boxes("out/train.txt").size(), 2u);
}

TEST_F(PrepareToolTest, KeepsThePeopleOfAnAnnotatedPhotographInTheDirectoryWithoutPeople)
{
    // The annotated photographs and the rest in one directory.
    QFile::remove(path("photos/notes.png"));
    addPhoto("a.png", 600, 400, "200,40,240,340");
    ASSERT_TRUE(savePng(realLookingImage(600, 400, 3), path("photos/b.png")));
    const RunResult run = prepare(argsFor("out", {"--mode", "test", "--empty", path("photos")}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(read("out/test-names.txt"), "0\n1\n");
    EXPECT_EQ(boxes("out/test-right.txt").size(), 1u);
}

TEST_F(PrepareToolTest, SkipsPeopleTooSmallToScaleUp)
{
    addPhoto("a.png", 600, 400, "200,40,240,120");
    addPhoto("b.png", 600, 400, "200,40,240,340");
    const RunResult run = prepare(argsFor("out", {"--mode", "train", "--min-height", "100"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(boxes("out/train.txt").size(), 1u);
    EXPECT_TRUE(run.out.contains("1 person lower than 100")) << run.out.toStdString();
}

// Bad input stops the run before anything is written, naming file and line.
struct BadInput {
    const char* what;
    QByteArray csvRows;
    const char* message;
};

void PrintTo(const BadInput& input, std::ostream* os)
{
    *os << input.what;
}

class PrepareBadInputTest : public PrepareToolTest, public testing::WithParamInterface<BadInput>
{
};

TEST_P(PrepareBadInputTest, StopsWithTheFileAndLineAndWritesNothing)
{
    addPhoto("a.png", 600, 400, "200,40,240,340");
    csv += GetParam().csvRows;
    const RunResult run = prepare(argsFor("out"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(GetParam().message)) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("nothing was written"));
    expectNothingWritten("out");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PrepareBadInputTest,
    testing::Values(BadInput{"missing photo", "gone.png,1,1,50,150\n",
                             "boxes.csv:3: no such photograph"},
                    BadInput{"short row", "a.png,1,2,3\n", "boxes.csv:3: expected 5 fields"},
                    BadInput{"box right of the photo", "a.png,580,10,620,300\n",
                             "boxes.csv:3: the box 580,10,620,300 leaves the photograph a.png"},
                    BadInput{"box above the photo", "a.png,10,-5,50,300\n", "boxes.csv:3: the box"},
                    BadInput{"not an image", "notes.png,10,10,50,300\n", "cannot read"}),
    [](const testing::TestParamInfo<BadInput>& info) {
        return QString(info.param.what).replace(' ', '_').toStdString();
    });

TEST_F(PrepareToolTest, StopsOnABrokenVocFileWithItsLine)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("voc"));
    write("voc/a.xml", "<annotation>\n<filename>a.png</filename>\n<object><name>person\n");
    const RunResult run = prepare({"--photos", path("photos"), "--voc", path("voc"), path("out")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("a.xml:")) << run.err.toStdString();
    expectNothingWritten("out");
}

TEST_F(PrepareToolTest, LeavesAnOutputDirectoryThatHoldsFilesAlone)
{
    addPhoto("a.png", 600, 400, "200,40,240,340");
    ASSERT_TRUE(QDir(dir.path()).mkpath("out"));
    write("out/mine.txt", "my work");
    const RunResult run = prepare(argsFor("out"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("not an empty directory")) << run.err.toStdString();
    EXPECT_EQ(read("out/mine.txt"), "my work");
    EXPECT_EQ(QDir(path("out")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 1);
}

TEST_F(PrepareToolTest, FillsAnEmptyOutputDirectory)
{
    addPhoto("a.png", 600, 400, "200,40,240,340");
    ASSERT_TRUE(QDir(dir.path()).mkpath("out"));
    ASSERT_EQ(prepare(argsFor("out")).exitCode, 0);
    EXPECT_TRUE(QFileInfo::exists(path("out/sources.csv")));
}

TEST_F(PrepareToolTest, RemovesTheStagingDirectoriesOfRunsThatEndedOnly)
{
    addPhoto("a.png", 600, 400, "200,40,240,340");
    const struct {
        QString name;
        bool removed;
    } left[] = {
        // Above any pid_max (2^22 at most): no process has that id.
        {".out.partial-2147483647-0123abcd", true},
        {QStringLiteral(".out.partial-%1-89abcdef").arg(getpid()), false},
        {".other.partial-2147483647-0123abcd", false},
    };
    for (const auto& l : left) {
        ASSERT_TRUE(QDir(dir.path()).mkpath(l.name + "/train"));
        write(l.name + "/train/0.png", "a strip");
    }
    const RunResult run = prepare(argsFor("out"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const auto& l : left)
        EXPECT_EQ(QFileInfo::exists(path(l.name)), !l.removed) << l.name.toStdString();
    EXPECT_TRUE(run.err.contains("ombre-prepare: warning: removed what stopped runs left behind: " +
                                 path(left[0].name).toUtf8() + '\n'))
        << run.err.toStdString();
}

TEST_F(PrepareToolTest, RefusesAWrongCommandLineWithExitCode2)
{
    write("boxes.csv", "");
    const QString photos = path("photos");
    const QString boxesFile = path("boxes.csv");
    const std::vector<QStringList> wrong = {
        {},
        {"--photos", photos, "--csv", boxesFile},
        {"--photos", photos, path("out")},
        {"--photos", photos, "--csv", boxesFile, "--voc", photos, path("out")},
        {"--photos", photos, "--csv", boxesFile, "--mode", "train", "--empty", photos, path("out")},
        {"--photos", photos, "--csv", boxesFile, "--mode", "test", "--mirror", path("out")},
        {"--photos", photos, "--csv", boxesFile, "--test-share", "1.5", path("out")},
        {"--photos", photos, "--csv", boxesFile, "--width", "79", path("out")},
        {"--photos", photos, "--csv", boxesFile, "--colour", "red", path("out")},
        {"--photos", photos, "--csv", boxesFile, "--seed", path("out")},
        {"--photos", photos, "--csv", boxesFile, "--mode", "test", "--hard-negatives", boxesFile,
         path("out")},
        {"--photos", photos, "--csv", boxesFile, "--hard-max", "5", path("out")},
        {"--photos", photos, "--csv", boxesFile, "--hard-negatives", boxesFile, "--hard-max", "0",
         path("out")},
    };
    for (const QStringList& args : wrong) {
        const RunResult run = prepare(args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("usage: ombre-prepare")) << args.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    expectNothingWritten("out");
}

TEST_F(PrepareToolTest, ExplainsEveryOptionOfTheUsageLineInItsHelp)
{
    const RunResult run = prepare({"--help"});
    ASSERT_EQ(run.exitCode, 0);
    const QString help = QString::fromUtf8(run.out);
    const QString usageLine = help.section("\n\n", 0, 0);
    const QString explained = help.section("\n\n", 1);
    QRegularExpressionMatchIterator options =
        QRegularExpression("--[a-z-]+").globalMatch(usageLine);
    int count = 0;
    while (options.hasNext()) {
        const QString option = options.next().captured();
        EXPECT_TRUE(explained.contains(QRegularExpression("\n  " + option + "\\b")))
            << option.toStdString();
        ++count;
    }
    EXPECT_EQ(count, 16);
}

// Training takes background windows at columns 0, 10, 20, ... beside each
// box of a strip, in the box's rows, but none from 60 columns before the box
// to 20 before its end: none of them may show another person. The other
// people are magenta on grey, so that a window shows them when it holds a
// magenta pixel.
struct Crowd {
    const char* what;
    std::vector<QRect> people;
};

void PrintTo(const Crowd& crowd, std::ostream* os)
{
    *os << crowd.what;
}

class PrepareCrowdTest : public PrepareToolTest, public testing::WithParamInterface<Crowd>
{
};

TEST_P(PrepareCrowdTest, KeepsOtherPeopleOutOfTheBackgroundOfEveryTrainingStrip)
{
    // Each person in turn is green, the others magenta; those lower than
    // 100 pixels get no strip and come last.
    const std::vector<QRect>& people = GetParam().people;
    int windows = 0;
    for (int own = 0; own < static_cast<int>(people.size()) && people[own].height() >= 100; ++own) {
        SCOPED_TRACE(own);
        QImage photo = constantImage(900, 520, qRgb(128, 128, 128));
        QPainter painter(&photo);
        csv.clear();
        const QString name = QStringLiteral("p%1.png").arg(own);
        for (int i = 0; i < static_cast<int>(people.size()); ++i) {
            const QRect& p = people[i];
            painter.fillRect(p, i == own ? QColor(0, 160, 0) : QColor(255, 0, 255));
            csv += QStringLiteral("%1,%2,%3,%4,%5\n")
                       .arg(name)
                       .arg(p.left())
                       .arg(p.top())
                       .arg(p.right() + 1)
                       .arg(p.bottom() + 1)
                       .toUtf8();
        }
        painter.end();
        ASSERT_TRUE(savePng(photo, path("photos/" + name)));
        const QString out = QStringLiteral("out%1").arg(own);
        const RunResult run = prepare(argsFor(out, {"--mode", "train", "--mirror"}));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        // One box a strip, a person's two strips (plain and mirrored) in turn.
        const std::vector<Box> all = boxes(out + "/train.txt");
        for (int k = 0; k < static_cast<int>(all.size()); ++k)
            ASSERT_EQ(all[k].Num, k);
        ASSERT_GT(all.size(), 2u * own + 1);
        for (const int k : {2 * own, 2 * own + 1}) {
            const Box& b = all[k];
            const QImage strip(path(QStringLiteral("%1/train/%2.png").arg(out).arg(b.Num)));
            ASSERT_EQ(b.Xmax - b.Xmin, 80);
            for (int m = 0; m < strip.width() - 80; m += 10) {
                if (m >= b.Xmin - 60 && m <= b.Xmax - 20)
                    continue;
                ++windows;
                for (int y = b.Ymin; y < b.Ymax; ++y)
                    for (int x = m; x < m + 80; ++x)
                        ASSERT_FALSE(qRed(strip.pixel(x, y)) > 140 &&
                                     qGreen(strip.pixel(x, y)) < 100)
                            << "strip " << b.Num << " window " << m << " pixel " << x << "," << y;
            }
        }
    }
    // The first person of every row has room on the left.
    EXPECT_GT(windows, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PrepareCrowdTest,
    testing::Values(
        Crowd{"overlapping", {QRect(400, 100, 110, 300), QRect(470, 110, 110, 300)}},
        Crowd{"side by side", {QRect(400, 100, 100, 300), QRect(520, 120, 100, 290)}},
        Crowd{"a small one far away", {QRect(400, 100, 100, 300), QRect(560, 180, 20, 50)}},
        Crowd{"a group of three",
              {QRect(380, 60, 100, 320), QRect(450, 80, 100, 300), QRect(540, 70, 90, 330)}},
        Crowd{"one standing below the window's rows",
              {QRect(400, 40, 100, 240), QRect(560, 420, 100, 100)}}),
    [](const testing::TestParamInfo<Crowd>& info) {
        return QString(info.param.what).replace(' ', '_').replace('\'', '_').toStdString();
    });

TEST_F(PrepareToolTest, AddsFalseAlarmsAsHardStripsAfterTheOrdinaryOnes)
{
    addPhoto("a.png", 600, 400, "200,40,240,340");
    ASSERT_TRUE(QDir(dir.path()).mkpath("empty"));
    ASSERT_TRUE(savePng(realLookingImage(500, 400, 5), path("empty/e.png")));
    // Every window is a false alarm of this model.
    writeModel(path("model.txt"), acceptAllWeights());
    ASSERT_EQ(prepare(argsFor("plain", {"--mode", "train", "--mirror"})).exitCode, 0);
    const RunResult run =
        prepare(argsFor("out", {"--mode", "train", "--mirror", "--empty", path("empty"),
                                "--hard-negatives", path("model.txt"), "--hard-max", "3"}));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("6 kept: 12 crops in 2 strips")) << run.out.toStdString();

    // The ordinary strips as without mining, then 8 crops and 4 (3 false
    // alarms of each photograph and their mirrored copies).
    const QByteArray plainBoxes = read("plain/train.txt");
    ASSERT_TRUE(read("out/train.txt").startsWith(plainBoxes));
    for (int k = 0; k < 2; ++k)
        EXPECT_EQ(read(QStringLiteral("out/train/%1.png").arg(k)),
                  read(QStringLiteral("plain/train/%1.png").arg(k)));
    const std::vector<Box> train = boxes("out/train.txt");
    ASSERT_EQ(train.size(), 4u);
    const QImage person(path("out/train/0.png"));
    for (int k = 2; k < 4; ++k) {
        EXPECT_EQ(train[k].Num, k);
        EXPECT_EQ(train[k].Xmin, 0);
        EXPECT_EQ(train[k].Xmax, 80);
        const QImage hard(path(QStringLiteral("out/train/%1.png").arg(k)));
        EXPECT_EQ(hard.size(), QSize(k == 2 ? 721 : 401, 200));
        if (k == 2) {
            EXPECT_EQ(hard.copy(0, 0, 80, 200), person.copy(train[0].Xmin, 0, 80, 200));
        }
    }

    // Each crop's window, in photograph pixels, keeps clear of the person.
    int crops = 0;
    for (const QStringList& row : sources("out")) {
        ASSERT_EQ(row.size(), 10);
        if (row[1].toInt() < 2 || row[8] == "0")
            continue;
        ++crops;
        EXPECT_EQ(row[8].toInt() % 80, 0);
        EXPECT_GT(row[9].toDouble(), 0);
        const QRect window(row[3].toInt(), row[4].toInt(), row[5].toInt(), row[6].toInt());
        const QRect overlap = window & QRect(200, 40, 40, 300);
        EXPECT_LT(overlap.width() * overlap.height(), 0.5 * window.width() * window.height())
            << row.join(',').toStdString();
    }
    EXPECT_EQ(crops, 12);
}

TEST_F(PrepareToolTest, StopsBeforeWritingWhenTheModelDoesNotLoad)
{
    addPhoto("a.png", 600, 400, "200,40,240,340");
    write("model.txt", "solver_type L2R_L2LOSS_SVC_DUAL\n");
    const RunResult run = prepare(argsFor("out", {"--hard-negatives", path("model.txt")}));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("cannot load the model " + path("model.txt").toUtf8()))
        << run.err.toStdString();
    expectNothingWritten("out");
}

// From generated photographs to a measured detector, through the console
// program's own commands.
class PrepareRoundTripTest : public ScratchTest
{
protected:
    void SetUp() override
    {
        for (const char* name : {"photos", "empty", "voc"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(name));
    }

    RunResult ombrec(const QString& letter, const QStringList& answers)
    {
        return runProgram(ombrecPath(), {letter}, (answers.join('\n') + '\n').toLocal8Bit());
    }
};

TEST_F(PrepareRoundTripTest, TrainsOnPreparedStripsAndFindsThePeopleOfTheTestSet)
{
    DemoPhotoOptions options;
    options.seed = 21;
    options.count = 60;
    const std::vector<DemoPhoto> photos = writeDemoPhotos(path("photos"), options);
    ASSERT_EQ(photos.size(), 60u);
    ASSERT_EQ(writeEmptyPhotos(path("empty"), 8, 22).size(), 8u);
    ASSERT_TRUE(writeCsvAnnotations(path("boxes.csv"), photos));

    const RunResult prepared =
        runProgram(PREPARE_PATH,
                   {"--photos", path("photos"), "--csv", path("boxes.csv"), "--empty",
                    path("empty"), "--mirror", "--test-share", "0.3", "--seed", "5", path("out")},
                   QByteArray());
    ASSERT_EQ(prepared.exitCode, 0) << prepared.err.toStdString();

    const RunResult trained =
        ombrec("t", {path("out/train"), path("out/train.txt"), path("model.txt")});
    ASSERT_EQ(trained.exitCode, 0) << trained.err.toStdString();
    const RunResult searched = ombrec(
        "d", {path("out/test"), path("out/test-names.txt"), path("model.txt"), path("found.txt")});
    ASSERT_EQ(searched.exitCode, 0) << searched.err.toStdString();
    const RunResult counted = ombrec("c", {path("found.txt"), path("out/test-right.txt")});
    ASSERT_EQ(counted.exitCode, 0) << counted.err.toStdString();

    const QRegularExpressionMatch result =
        QRegularExpression("Recall = ([0-9.]+), Precision = ([0-9.]+) \n").match(counted.out);
    ASSERT_TRUE(result.hasMatch()) << counted.out.toStdString();
    std::cout << "[ prepared ] " << prepared.out.toStdString() << "[ measured ] "
              << result.captured(0).toStdString();
    EXPECT_GE(result.captured(1).toDouble(), 0.8);
    EXPECT_GE(result.captured(2).toDouble(), 0.8);
}

TEST_F(PrepareRoundTripTest, TrainBootstrapTrainsAndScoresAModelPerRound)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("test"));
    const std::vector<DemoPhoto> training = writeDemoPhotos(path("photos"), hardPhotoOptions(3, 4));
    ASSERT_EQ(writeEmptyPhotos(path("empty"), 1, 4).size(), 1u);
    ASSERT_TRUE(writeCsvAnnotations(path("boxes.csv"), training));
    const std::vector<DemoPhoto> test = writeDemoPhotos(path("test"), hardPhotoOptions(5, 3));
    ASSERT_TRUE(writeCsvAnnotations(path("test.csv"), test));

    const RunResult run = runProgram(TRAIN_BOOTSTRAP_PATH,
                                     {"--photos", path("photos"), "--csv", path("boxes.csv"),
                                      "--empty", path("empty"), "--test-photos", path("test"),
                                      "--test-csv", path("test.csv"), path("out")},
                                     {}, {"OMBRE_BUILD=" OMBRE_BUILD_DIR}, 900000);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(QRegularExpression("^model-0: AP = [0-9.]+, .*\nmodel-1: AP = [0-9.]+, .*\n$")
                    .match(run.out)
                    .hasMatch())
        << run.out.toStdString();
    EXPECT_TRUE(run.err.contains("hard negatives: ")) << run.err.toStdString();
    EXPECT_NE(read("out/model-0.txt"), read("out/model-1.txt"));
    EXPECT_EQ(read("out/model.txt"), read("out/model-1.txt"));
}

TEST_F(PrepareRoundTripTest, ReadsVocFilesAsItReadsTheSameBoxesInCsv)
{
    DemoPhotoOptions options;
    options.seed = 8;
    options.count = 6;
    options.personInCorner = true;
    const std::vector<DemoPhoto> photos = writeDemoPhotos(path("photos"), options);
    ASSERT_TRUE(writeCsvAnnotations(path("boxes.csv"), photos));
    ASSERT_TRUE(writeVocAnnotations(path("voc"), photos));
    const QStringList common = {"--photos", path("photos"), "--mirror", "--test-share", "0.5"};
    ASSERT_EQ(
        runProgram(PREPARE_PATH, common + QStringList{"--csv", path("boxes.csv"), path("a")}, {})
            .exitCode,
        0);
    ASSERT_EQ(runProgram(PREPARE_PATH, common + QStringList{"--voc", path("voc"), path("b")}, {})
                  .exitCode,
              0);
    // VOC files come in the order of their names, CSV rows in theirs: the
    // same photographs, each cut the same way, under other strip numbers.
    const auto withoutNumbers = [this](const QString& file, const QString& separator,
                                       int numberField) {
        QStringList rows = QString::fromUtf8(read(file)).split('\n', Qt::SkipEmptyParts);
        for (QString& row : rows) {
            QStringList fields = row.split(separator);
            fields.removeAt(numberField);
            row = fields.join(separator);
        }
        rows.sort();
        return rows;
    };
    EXPECT_EQ(withoutNumbers("a/sources.csv", ",", 1), withoutNumbers("b/sources.csv", ",", 1));
    for (const char* file : {"train.txt", "test-right.txt"}) {
        const QStringList boxes = withoutNumbers(QString("a/") + file, "  ", 0);
        EXPECT_FALSE(boxes.isEmpty()) << file;
        EXPECT_EQ(boxes, withoutNumbers(QString("b/") + file, "  ", 0)) << file;
    }
}

} // namespace
