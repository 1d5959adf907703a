#include "CommandLine.h"
#include "DemoSet.h"
#include "Figure.h"
#include "Random.h"
#include "Settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{

// Small, but with empty, single and paired test strips.
DemoSetOptions smallSet(std::uint32_t seed)
{
    DemoSetOptions options;
    options.seed = seed;
    options.trainCount = 6;
    options.testCount = 12;
    return options;
}

struct BoxLine {
    int Num, Ymin, Xmin, Ymax, Xmax;
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Reads a location file as strictly as it is promised: five integers with
// two blanks between them and a line feed after each line.
std::vector<BoxLine> readBoxLines(const QString& path)
{
    std::vector<BoxLine> boxes;
    const QByteArray text = contents(path);
    EXPECT_TRUE(text.isEmpty() || text.endsWith('\n')) << path.toStdString();
    for (const QByteArray& line : text.split('\n')) {
        if (line.isEmpty())
            continue;
        const QList<QByteArray> fields = line.split(' ');
        EXPECT_EQ(fields.size(), 9) << "not two blanks apart: " << line.toStdString();
        if (fields.size() != 9)
            continue;
        boxes.push_back({fields[0].toInt(), fields[2].toInt(), fields[4].toInt(), fields[6].toInt(),
                         fields[8].toInt()});
    }
    return boxes;
}

QStringList filesUnder(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

class DemoSetTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = std::make_unique<QTemporaryDir>();
        ASSERT_EQ(writeDemoSet(dir->path(), smallSet(5)), QString());
    }
    static void TearDownTestSuite() { dir.reset(); }

    static QString path(const QString& name) { return dir->filePath(name); }
    static QImage image(const QString& set, int num)
    {
        return QImage(path(QStringLiteral("%1/%2.png").arg(set).arg(num)));
    }

    static std::unique_ptr<QTemporaryDir> dir;
};

std::unique_ptr<QTemporaryDir> DemoSetTest::dir;

TEST_F(DemoSetTest, TheSameSeedWritesIdenticalFiles)
{
    QTemporaryDir again;
    ASSERT_EQ(writeDemoSet(again.path(), smallSet(5)), QString());
    const QStringList files = filesUnder(dir->path());
    ASSERT_EQ(filesUnder(again.path()), files);
    for (const QString& file : files)
        EXPECT_EQ(contents(again.filePath(file)), contents(path(file))) << file.toStdString();
}

TEST_F(DemoSetTest, AnotherSeedDrawsOtherImages)
{
    QTemporaryDir other;
    ASSERT_EQ(writeDemoSet(other.path(), smallSet(6)), QString());
    for (const QString& file : {QStringLiteral("train/0.png"), QStringLiteral("test/0.png")})
        EXPECT_NE(contents(other.filePath(file)), contents(path(file))) << file.toStdString();
    EXPECT_NE(contents(other.filePath("train.txt")), contents(path("train.txt")));
}

TEST_F(DemoSetTest, StripsAreColourImagesOfTheAgreedSizes)
{
    const StripSettings strip;
    for (const auto& [set, count] : {std::pair{"train", 6}, std::pair{"test", 12}})
        for (int num = 0; num < count; ++num) {
            const QImage picture = image(set, num);
            ASSERT_FALSE(picture.isNull()) << set << ' ' << num;
            EXPECT_FALSE(picture.allGray()) << set << ' ' << num;
            EXPECT_GE(picture.height(), strip.minHeight) << set << ' ' << num;
            EXPECT_LE(picture.height(), strip.maxHeight) << set << ' ' << num;
            EXPECT_GE(picture.width(), strip.minWidth) << set << ' ' << num;
            EXPECT_LE(picture.width(), strip.maxWidth) << set << ' ' << num;
        }
}

TEST_F(DemoSetTest, EachTrainingStripHasOneBoxThatFitsTheWindowInsideIt)
{
    const std::vector<BoxLine> boxes = readBoxLines(path("train.txt"));
    ASSERT_EQ(boxes.size(), 6u);
    for (int num = 0; num < 6; ++num) {
        const BoxLine& box = boxes[std::size_t(num)];
        const QImage strip = image("train", num);
        EXPECT_EQ(box.Num, num);
        EXPECT_EQ(box.Ymin, 0);
        EXPECT_EQ(box.Ymax, kWindowHeight);
        EXPECT_EQ(box.Xmax - box.Xmin, kWindowWidth);
        EXPECT_GE(box.Xmin, 0) << "image " << num;
        EXPECT_LE(box.Xmax, strip.width()) << "image " << num;
    }
}

TEST_F(DemoSetTest, NamesFileListsEveryTestImageInOrder)
{
    QByteArray expected;
    for (int num = 0; num < 12; ++num) {
        expected += QByteArray::number(num) + '\n';
        EXPECT_TRUE(QFile::exists(path(QStringLiteral("test/%1.png").arg(num)))) << num;
    }
    EXPECT_EQ(contents(path("test-names.txt")), expected);
}

TEST_F(DemoSetTest, RightBoxesLieInsideListedImagesAndAFifthOfTheStripsAreEmpty)
{
    std::vector<int> figures(12, 0);
    for (const BoxLine& box : readBoxLines(path("test-right.txt"))) {
        ASSERT_GE(box.Num, 0);
        ASSERT_LT(box.Num, 12);
        ++figures[std::size_t(box.Num)];
        const QImage strip = image("test", box.Num);
        EXPECT_EQ(box.Ymin, 0);
        EXPECT_EQ(box.Ymax, kWindowHeight);
        EXPECT_EQ(box.Xmax - box.Xmin, kWindowWidth);
        EXPECT_GE(box.Xmin, 0) << "image " << box.Num;
        EXPECT_LE(box.Xmax, strip.width()) << "image " << box.Num;
    }
    EXPECT_EQ(std::count(figures.begin(), figures.end(), 0), 2);
    EXPECT_LE(*std::max_element(figures.begin(), figures.end()), 2);
}

// The search tries windows at X = 0, 5, 10, ... while X < width - 80; the
// nearest of them must sit within 2 columns of every box.
bool searchMeetsBox(const DemoStrip& plan, int left)
{
    const int nearest = (left + 2) / 5 * 5;
    return nearest < plan.width - kWindowWidth;
}

TEST(DemoLayout, TrainingBoxesLieWhereTheSearchWindowCanMeetThem)
{
    DemoSetOptions options;
    options.trainCount = 300;
    for (const DemoStrip& plan : planTrainingSet(options)) {
        ASSERT_EQ(plan.figureLefts.size(), 1u);
        EXPECT_GE(plan.figureLefts[0], 0);
        EXPECT_TRUE(searchMeetsBox(plan, plan.figureLefts[0]))
            << plan.figureLefts[0] << " in " << plan.width;
    }
}

TEST(DemoLayout, TestFiguresStandWhereTheSearchCanMeetThemAndPairsStandApart)
{
    DemoSetOptions options;
    options.testCount = 300;
    int pairs = 0;
    for (const DemoStrip& plan : planTestSet(options)) {
        ASSERT_LE(plan.figureLefts.size(), 2u);
        for (const int left : plan.figureLefts) {
            EXPECT_GE(left, 0);
            EXPECT_TRUE(searchMeetsBox(plan, left)) << left << " in " << plan.width;
        }
        if (plan.figureLefts.size() == 2) {
            ++pairs;
            EXPECT_GE(std::abs(plan.figureLefts[1] - plan.figureLefts[0]),
                      options.settings.testSet.minGap);
        }
    }
    EXPECT_GT(pairs, 30);
}

// The painted extent of a figure drawn alone on a transparent strip.
QRect paintedExtent(const FigureLook& look, int minAlpha)
{
    QImage canvas(160, 240, QImage::Format_ARGB32);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        drawFigure(painter, look);
    }
    QRect extent;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (qAlpha(canvas.pixel(x, y)) > minAlpha)
                extent |= QRect(x, y, 1, 1);
    return extent;
}

TEST(DemoFigure, FiguresStayInsideTheirBoxAndStandItsFullHeight)
{
    const FigureSettings settings;
    const QRect box(40, 0, kWindowWidth, kWindowHeight);
    for (std::uint32_t item = 0; item < 60; ++item) {
        Random random(9, 0, item);
        const FigureLook look = randomFigure(random, settings, 80);
        const QRect any = paintedExtent(look, 0);
        EXPECT_TRUE(box.contains(any)) << "figure " << item;
        // Nearly opaque pixels: the body, not its shadow or soft edge.
        const QRect body = paintedExtent(look, 128);
        EXPECT_LE(body.top(), settings.maxHeadTop + 1) << "figure " << item;
        EXPECT_GE(body.bottom(), settings.highestSole - 2) << "figure " << item;
        EXPECT_GE(body.width(), 50) << "figure " << item;
    }
}

TEST(DemoRandom, UniformDrawsReachBothEndsAndNothingOutside)
{
    Random random(1, 0, 0);
    for (const auto& [lo, hi] :
         {std::pair{0, 1}, std::pair{-3, 3}, std::pair{7, 7}, std::pair{240, 640}}) {
        int least = hi;
        int most = lo;
        for (int i = 0; i < 4000; ++i) {
            const int value = random.uniform(lo, hi);
            least = std::min(least, value);
            most = std::max(most, value);
        }
        EXPECT_EQ(least, lo);
        EXPECT_EQ(most, hi);
    }
}

TEST(DemoRandom, EachItemHasItsOwnRepeatableSequence)
{
    Random first(1, 2, 3);
    Random again(1, 2, 3);
    Random neighbour(1, 2, 4);
    int same = 0;
    int shared = 0;
    for (int i = 0; i < 100; ++i) {
        const int value = first.uniform(0, 1000000);
        same += value == again.uniform(0, 1000000);
        shared += value == neighbour.uniform(0, 1000000);
    }
    EXPECT_EQ(same, 100);
    EXPECT_LT(shared, 3);
}

// The data set, and every number measured on it, depends on these draws
// coming out the same with any compiler and standard library.
TEST(DemoRandom, SeedOneDrawsTheSameNumbersEverywhere)
{
    Random random(1, 2, 3);
    std::vector<int> draws;
    for (int i = 0; i < 6; ++i)
        draws.push_back(random.uniform(0, 999));
    EXPECT_EQ(draws, (std::vector<int>{851, 52, 492, 717, 98, 580}));
}

struct BadCommandLine {
    const char* name;
    QStringList words;
};

class DemoCommandLine : public ::testing::TestWithParam<BadCommandLine>
{
};

TEST_P(DemoCommandLine, RefusesWordsThatMakeNoSense)
{
    EXPECT_FALSE(parseCommandLine(GetParam().words).error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Words, DemoCommandLine,
    ::testing::Values(
        BadCommandLine{"NoDirectory", {}}, BadCommandLine{"TwoDirectories", {"a", "b"}},
        BadCommandLine{"UnknownOption", {"out", "--size", "3"}},
        BadCommandLine{"OptionWithoutNumber", {"out", "--seed"}},
        BadCommandLine{"NotANumber", {"out", "--train", "many"}},
        BadCommandLine{"NoStrips", {"out", "--test", "0"}},
        BadCommandLine{"PastImage999", {"out", "--train", "1001"}},
        BadCommandLine{"NegativeSeed", {"out", "--seed", "-1"}},
        BadCommandLine{"NoPhotographs", {"out", "--photographs", "0"}},
        BadCommandLine{"HardWithoutPhotographs", {"out", "--hard"}},
        BadCommandLine{"PastPhotograph1000", {"out", "--photographs", "1001"}},
        BadCommandLine{"PhotographsWithTrain", {"out", "--photographs", "5", "--train", "3"}},
        BadCommandLine{"TestBeforePhotographs", {"out", "--test", "3", "--photographs", "5"}}),
    [](const ::testing::TestParamInfo<BadCommandLine>& info) {
        return std::string(info.param.name);
    });

TEST(DemoCommandLineValues, TakesTheDirectoryAndNumbersInAnyOrder)
{
    const CommandLine line =
        parseCommandLine({"--test", "9", "out", "--seed", "42", "--train", "1000"});
    EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
    EXPECT_EQ(line.outDir, QStringLiteral("out"));
    EXPECT_EQ(line.options.seed, 42u);
    EXPECT_EQ(line.options.trainCount, 1000);
    EXPECT_EQ(line.options.testCount, 9);
    EXPECT_EQ(line.photographs, 0);
}

TEST(DemoCommandLineValues, TakesPhotographsWithASeed)
{
    const CommandLine line = parseCommandLine({"--photographs", "1000", "out", "--seed", "7"});
    EXPECT_TRUE(line.error.isEmpty()) << line.error.toStdString();
    EXPECT_EQ(line.outDir, QStringLiteral("out"));
    EXPECT_EQ(line.photographs, 1000);
    EXPECT_EQ(line.options.seed, 7u);
}

} // namespace
