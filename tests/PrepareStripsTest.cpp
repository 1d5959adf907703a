#include "ScratchTest.h"
#include "TestPhotos.h"

#include "Figure.h"
#include "Random.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{

// ---- The photographs the tests feed the tool ----

// Small photographs, some lower than the tallest person allowed, so that the
// photograph's own height limits people too.
TestPhotoOptions smallPhotos()
{
    TestPhotoOptions options;
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

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TestPhotosTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        dir = std::make_unique<QTemporaryDir>();
        photos = writeTestPhotos(dir->path(), smallPhotos());
    }
    static void TearDownTestSuite() { dir.reset(); }

    static std::unique_ptr<QTemporaryDir> dir;
    static std::vector<TestPhoto> photos;
};

std::unique_ptr<QTemporaryDir> TestPhotosTest::dir;
std::vector<TestPhoto> TestPhotosTest::photos;

TEST_F(TestPhotosTest, WritesEveryPhotoAtItsSizeInBothFormats)
{
    ASSERT_EQ(photos.size(), 6u);
    int jpegs = 0;
    for (const TestPhoto& photo : photos) {
        const QImage image(dir->filePath(photo.name));
        EXPECT_EQ(image.size(), QSize(photo.width, photo.height)) << photo.name.toStdString();
        jpegs += photo.name.endsWith(".jpg");
    }
    EXPECT_EQ(jpegs, 3);
}

TEST_F(TestPhotosTest, SameSeedWritesTheSameFiles)
{
    QTemporaryDir again;
    const std::vector<TestPhoto> second = writeTestPhotos(again.path(), smallPhotos());
    ASSERT_EQ(second.size(), photos.size());
    for (std::size_t i = 0; i < photos.size(); ++i) {
        ASSERT_EQ(second[i].name, photos[i].name);
        EXPECT_EQ(fileBytes(again.filePath(second[i].name)),
                  fileBytes(dir->filePath(photos[i].name)))
            << photos[i].name.toStdString();
        ASSERT_EQ(second[i].people.size(), photos[i].people.size());
        for (std::size_t p = 0; p < photos[i].people.size(); ++p)
            EXPECT_EQ(second[i].people[p].ymin, photos[i].people[p].ymin);
    }
}

TEST_F(TestPhotosTest, BoxesLieInsideTheirPhotos)
{
    for (const TestPhoto& photo : photos)
        for (const PhotoPerson& p : photo.people) {
            EXPECT_GE(p.xmin, 0) << photo.name.toStdString();
            EXPECT_GE(p.ymin, 0) << photo.name.toStdString();
            EXPECT_LE(p.xmax, photo.width) << photo.name.toStdString();
            EXPECT_LE(p.ymax, photo.height) << photo.name.toStdString();
        }
}

TEST_F(TestPhotosTest, PeopleStandApartByAtLeastTheGap)
{
    int pairs = 0;
    for (const TestPhoto& photo : photos)
        for (std::size_t i = 1; i < photo.people.size(); ++i, ++pairs)
            EXPECT_GE(photo.people[i].xmin - photo.people[i - 1].xmax, smallPhotos().minGap)
                << photo.name.toStdString();
    EXPECT_GT(pairs, 0);
}

TEST_F(TestPhotosTest, HeightsStayWithinTheLimitsAndThePhoto)
{
    const TestPhotoOptions options = smallPhotos();
    for (const TestPhoto& photo : photos)
        for (const PhotoPerson& p : photo.people) {
            EXPECT_GE(p.ymax - p.ymin, options.minPersonHeight) << photo.name.toStdString();
            EXPECT_LE(p.ymax - p.ymin, std::min(options.maxPersonHeight, photo.height))
                << photo.name.toStdString();
        }
}

TEST_F(TestPhotosTest, FirstPersonCanStandInTheBottomLeftCorner)
{
    ASSERT_FALSE(photos.front().people.empty());
    const PhotoPerson& corner = photos.front().people.front();
    EXPECT_EQ(corner.xmin, 0);
    EXPECT_EQ(corner.ymax, photos.front().height);
}

TEST(TestPhotoFigureTest, FigurePaintsExactlyItsBoxAtAnyHeight)
{
    for (const int height : {110, 197, 400}) {
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

TEST(TestPhotosEmptyTest, EmptyPhotosHaveTheirSizesAndNobody)
{
    QTemporaryDir dir;
    const std::vector<TestPhoto> empty = writeEmptyPhotos(dir.path(), 2, 3);
    ASSERT_EQ(empty.size(), 2u);
    for (const TestPhoto& photo : empty) {
        EXPECT_TRUE(photo.name.startsWith("empty-"));
        EXPECT_TRUE(photo.people.empty());
        EXPECT_EQ(QImage(dir.filePath(photo.name)).size(), QSize(photo.width, photo.height));
    }
}

// Two people in one photograph, none in the other.
std::vector<TestPhoto> twoPhotos()
{
    return {{"street.jpg", 640, 480, {{0, 10, 50, 130}, {100, 20, 160, 200}}},
            {"room.png", 320, 240, {}}};
}

class TestPhotoAnnotationsTest : public ScratchTest
{
};

TEST_F(TestPhotoAnnotationsTest, CsvHasAHeaderAndARowPerPerson)
{
    ASSERT_TRUE(writeCsvAnnotations(path("boxes.csv"), twoPhotos()));
    EXPECT_EQ(read("boxes.csv"), "photo,xmin,ymin,xmax,ymax\n"
                                 "street.jpg,0,10,50,130\n"
                                 "street.jpg,100,20,160,200\n");
}

TEST_F(TestPhotoAnnotationsTest, VocCountsFromOneWithInclusiveMaxima)
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

TEST_F(TestPhotoAnnotationsTest, VocWritesAPhotoWithoutPeopleToo)
{
    ASSERT_TRUE(writeVocAnnotations(dir.path(), twoPhotos()));
    const QByteArray room = read("room.xml");
    EXPECT_TRUE(room.contains("<filename>room.png</filename>"));
    EXPECT_FALSE(room.contains("<object>"));
}

} // namespace
