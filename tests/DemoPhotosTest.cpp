#include "DemoPhotos.h"
#include "ScratchTest.h"

#include "Figure.h"
#include "Random.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{

// ---- The photographs these tests look at ----

// Small photographs, some lower than the tallest person allowed, so that the
// photograph's own height limits people too.
DemoPhotoOptions smallPhotos()
{
    DemoPhotoOptions options;
    options.seed = 4;
    options.count = 6;
    options.minWidth = 300;
    options.maxWidth = 600;
    options.minHeight = 240;
    options.maxHeight = 480;
    options.minPersonHeight = 110;
    options.maxPersonHeight = 420;
    options.personInCorner = true;
    return options;
}

// The hard setting, in as few photographs as show groups and cut-off people.
DemoPhotoOptions hardPhotos()
{
    return hardPhotoOptions(5, 6);
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Photographs written once for all tests: small ones, and hard ones.
struct WrittenPhotos {
    DemoPhotoOptions options;
    std::unique_ptr<QTemporaryDir> dir;
    std::vector<DemoPhoto> photos;
};

class DemoPhotosTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        for (const DemoPhotoOptions& options : {smallPhotos(), hardPhotos()}) {
            WrittenPhotos written{options, std::make_unique<QTemporaryDir>(), {}};
            written.photos = writeDemoPhotos(written.dir->path(), options);
            sets.push_back(std::move(written));
        }
    }
    static void TearDownTestSuite() { sets.clear(); }

    // The small photographs, then the hard ones.
    static std::vector<WrittenPhotos> sets;
};

std::vector<WrittenPhotos> DemoPhotosTest::sets;

TEST_F(DemoPhotosTest, WritesEveryPhotoAtItsSizeInBothFormats)
{
    for (const WrittenPhotos& set : sets) {
        ASSERT_EQ(set.photos.size(), 6u);
        int jpegs = 0;
        for (const DemoPhoto& photo : set.photos) {
            const QImage image(set.dir->filePath(photo.name));
            EXPECT_EQ(image.size(), QSize(photo.width, photo.height)) << photo.name.toStdString();
            jpegs += photo.name.endsWith(".jpg");
        }
        EXPECT_EQ(jpegs, 3);
    }
}

TEST_F(DemoPhotosTest, SameSeedWritesTheSameFiles)
{
    for (const WrittenPhotos& set : sets) {
        QTemporaryDir again;
        const std::vector<DemoPhoto> second = writeDemoPhotos(again.path(), set.options);
        ASSERT_EQ(second.size(), set.photos.size());
        for (std::size_t i = 0; i < set.photos.size(); ++i) {
            const DemoPhoto& first = set.photos[i];
            ASSERT_EQ(second[i].name, first.name);
            EXPECT_EQ(fileBytes(again.filePath(first.name)),
                      fileBytes(set.dir->filePath(first.name)))
                << first.name.toStdString();
            ASSERT_EQ(second[i].people.size(), first.people.size());
            for (std::size_t p = 0; p < first.people.size(); ++p)
                EXPECT_EQ(second[i].people[p].ymin, first.people[p].ymin);
        }
    }
}

// The default setting's boxes as they have always been: a change to what the
// default draws, or in what order, would move them.
TEST_F(DemoPhotosTest, DefaultSettingDrawsTheSamePeopleAsBefore)
{
    QTemporaryDir out;
    DemoPhotoOptions options;
    options.count = 2;
    ASSERT_TRUE(
        writeCsvAnnotations(out.filePath("boxes.csv"), writeDemoPhotos(out.path(), options)));
    EXPECT_EQ(fileBytes(out.filePath("boxes.csv")), "photo,xmin,ymin,xmax,ymax\n"
                                                    "photo-0.jpg,449,87,504,234\n"
                                                    "photo-1.png,82,60,133,192\n"
                                                    "photo-1.png,216,56,264,195\n");
}

TEST_F(DemoPhotosTest, BoxesLieInsideTheirPhotosAndAreNotEmpty)
{
    for (const WrittenPhotos& set : sets)
        for (const DemoPhoto& photo : set.photos)
            for (const PhotoPerson& p : photo.people) {
                EXPECT_GE(p.xmin, 0) << photo.name.toStdString();
                EXPECT_GE(p.ymin, 0) << photo.name.toStdString();
                EXPECT_LE(p.xmax, photo.width) << photo.name.toStdString();
                EXPECT_LE(p.ymax, photo.height) << photo.name.toStdString();
                EXPECT_LT(p.xmin, p.xmax) << photo.name.toStdString();
                EXPECT_LT(p.ymin, p.ymax) << photo.name.toStdString();
            }
}

TEST_F(DemoPhotosTest, PeopleStandApartByAtLeastTheGap)
{
    int pairs = 0;
    for (const DemoPhoto& photo : sets.front().photos)
        for (std::size_t i = 1; i < photo.people.size(); ++i, ++pairs)
            EXPECT_GE(photo.people[i].xmin - photo.people[i - 1].xmax, smallPhotos().minGap)
                << photo.name.toStdString();
    EXPECT_GT(pairs, 0);
}

TEST_F(DemoPhotosTest, HeightsStayWithinTheLimitsAndThePhoto)
{
    for (const WrittenPhotos& set : sets)
        for (const DemoPhoto& photo : set.photos)
            for (const PhotoPerson& p : photo.people) {
                EXPECT_GE(p.ymax - p.ymin, set.options.minPersonHeight) << photo.name.toStdString();
                EXPECT_LE(p.ymax - p.ymin, std::min(set.options.maxPersonHeight, photo.height))
                    << photo.name.toStdString();
            }
}

TEST_F(DemoPhotosTest, HardPhotosHoldOverlappingAndCutOffPeopleOfManySizes)
{
    int overlaps = 0;
    int cutOff = 0;
    int lowest = hardPhotos().maxPersonHeight;
    int highest = 0;
    for (const DemoPhoto& photo : sets.back().photos)
        for (std::size_t i = 0; i < photo.people.size(); ++i) {
            const PhotoPerson& p = photo.people[i];
            for (std::size_t j = i + 1; j < photo.people.size(); ++j)
                overlaps += p.xmax > photo.people[j].xmin && photo.people[j].xmax > p.xmin &&
                            p.ymax > photo.people[j].ymin && photo.people[j].ymax > p.ymin;
            // Cut off means the box reaches an edge; the box is what is left inside.
            const bool atEdge = p.xmin == 0 || p.xmax == photo.width || p.ymax == photo.height;
            EXPECT_TRUE(!p.truncated || atEdge) << photo.name.toStdString();
            cutOff += p.truncated;
            lowest = std::min(lowest, p.ymax - p.ymin);
            highest = std::max(highest, p.ymax - p.ymin);
        }
    EXPECT_GT(overlaps, 0);
    EXPECT_GT(cutOff, 0);
    EXPECT_GT(highest, 2 * lowest);
}

TEST_F(DemoPhotosTest, FirstPersonCanStandInTheBottomLeftCorner)
{
    const DemoPhoto& first = sets.front().photos.front();
    ASSERT_FALSE(first.people.empty());
    const PhotoPerson& corner = first.people.front();
    EXPECT_EQ(corner.xmin, 0);
    EXPECT_EQ(corner.ymax, first.height);
}

TEST(DemoPhotoFigureTest, FigurePaintsExactlyItsBoxAtAnyHeight)
{
    for (const int height : {60, 110, 197, 400, 700}) {
        Random random(3, 1, std::uint32_t(height));
        const PhotoFigure figure =
            figureOfHeight(randomFigure(random, FigureSettings(), 0), height);
        const PhotoPerson& box = figure.box;
        ASSERT_EQ(box.ymax - box.ymin, height);

        QImage image(box.xmax - box.xmin + 20, height + 20, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.translate(10 - box.xmin, 10 - box.ymin);
            drawFigure(painter, figure.look);
        }
        QRect painted;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0)
                    painted |= QRect(x, y, 1, 1);
        EXPECT_EQ(painted, QRect(10, 10, box.xmax - box.xmin, height)) << height;
    }
}

TEST(DemoPhotosEmptyTest, EmptyPhotosHaveTheirSizesAndNobody)
{
    QTemporaryDir dir;
    const std::vector<DemoPhoto> empty = writeEmptyPhotos(dir.path(), 2, 3);
    ASSERT_EQ(empty.size(), 2u);
    for (const DemoPhoto& photo : empty) {
        EXPECT_TRUE(photo.name.startsWith("empty-"));
        EXPECT_TRUE(photo.people.empty());
        EXPECT_EQ(QImage(dir.filePath(photo.name)).size(), QSize(photo.width, photo.height));
    }
}

// Two people in one photograph, none in the other.
std::vector<DemoPhoto> twoPhotos()
{
    return {{"street.jpg", 640, 480, {{0, 10, 50, 130}, {100, 20, 160, 200}}},
            {"room.png", 320, 240, {}}};
}

class DemoPhotoAnnotationsTest : public ScratchTest
{
};

TEST_F(DemoPhotoAnnotationsTest, CsvHasAHeaderAndARowPerPerson)
{
    ASSERT_TRUE(writeCsvAnnotations(path("boxes.csv"), twoPhotos()));
    EXPECT_EQ(read("boxes.csv"), "photo,xmin,ymin,xmax,ymax\n"
                                 "street.jpg,0,10,50,130\n"
                                 "street.jpg,100,20,160,200\n");
}

TEST_F(DemoPhotoAnnotationsTest, VocCountsFromOneWithInclusiveMaxima)
{
    ASSERT_TRUE(writeVocAnnotations(dir.path(), twoPhotos()));
    const QByteArray street = read("street.xml");
    EXPECT_TRUE(street.contains("<filename>street.jpg</filename>"));
    EXPECT_TRUE(street.contains("<width>640</width>"));
    EXPECT_TRUE(street.contains("<height>480</height>"));
    EXPECT_EQ(street.count("<name>person</name>"), 2);
    const QByteArray second = street.mid(street.lastIndexOf("<bndbox>"));
    for (const char* field :
         {"<xmin>101</xmin>", "<ymin>21</ymin>", "<xmax>160</xmax>", "<ymax>200</ymax>"})
        EXPECT_TRUE(second.contains(field)) << field;
}

TEST_F(DemoPhotoAnnotationsTest, VocWritesAPhotoWithoutPeopleToo)
{
    ASSERT_TRUE(writeVocAnnotations(dir.path(), twoPhotos()));
    const QByteArray room = read("room.xml");
    EXPECT_TRUE(room.contains("<filename>room.png</filename>"));
    EXPECT_FALSE(room.contains("<object>"));
}

class DemoPhotoSetTest : public ScratchTest
{
protected:
    QStringList files(const QString& sub) const
    {
        return QDir(path(sub)).entryList(QDir::Files, QDir::Name);
    }
};

TEST_F(DemoPhotoSetTest, WritesPhotosTheirBoxesTwiceAndAFifthAsManyEmptyOnes)
{
    const DemoPhotoSet set = writeDemoPhotoSet(path("demo"), 10, 2);
    ASSERT_EQ(set.error, QString());
    ASSERT_EQ(set.photos.size(), 10u);
    ASSERT_EQ(set.empty.size(), 2u);
    EXPECT_EQ(files("demo/photos").size(), 10);
    EXPECT_EQ(files("demo/voc").size(), 10);
    EXPECT_EQ(files("demo/empty"), (QStringList{"empty-0.jpg", "empty-1.png"}));
    int rows = 0;
    for (const DemoPhoto& photo : set.photos)
        rows += int(photo.people.size());
    EXPECT_GT(rows, 0);
    EXPECT_EQ(read("demo/boxes.csv").count('\n'), rows + 1);
}

TEST_F(DemoPhotoSetTest, EvenOnePhotographComesWithAnEmptyOne)
{
    const DemoPhotoSet set = writeDemoPhotoSet(path("demo"), 1, 2);
    ASSERT_EQ(set.error, QString());
    EXPECT_EQ(set.empty.size(), 1u);
}

TEST_F(DemoPhotoSetTest, RefusesADirectoryWithLeftoversAndWritesNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("demo/empty"));
    write("demo/empty/old.jpg", "from an earlier run");
    const DemoPhotoSet set = writeDemoPhotoSet(path("demo"), 1, 2);
    EXPECT_TRUE(set.error.contains("empty")) << set.error.toStdString();
    EXPECT_TRUE(set.photos.empty());
    EXPECT_FALSE(QFileInfo::exists(path("demo/boxes.csv")));
}

} // namespace
