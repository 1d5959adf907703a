#include "ImageLoader.h"
#include "PngBytes.h"

#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

struct LimitCase {
    const char* what;
    int width;
    int height;
    QImage::Format format;
    bool loads;
};

// Under a limit of 1 MB: 262144 pixels at 4 bytes, or 131072 at 8 bytes
// for 16 bits a channel.
class AllocationLimit : public testing::TestWithParam<LimitCase>
{
protected:
    QTemporaryDir dir;
    const int savedLimit = QImageReader::allocationLimit();

    void SetUp() override { QImageReader::setAllocationLimit(1); }
    void TearDown() override { QImageReader::setAllocationLimit(savedLimit); }
};

TEST_P(AllocationLimit, RefusesImagesThatNeedMoreAndSaysWhy)
{
    const LimitCase& c = GetParam();
    QImage original(c.width, c.height, c.format);
    original.fill(Qt::gray);
    const QString path = dir.filePath("image.png");
    ASSERT_TRUE(original.save(path));

    QImage image;
    QString why;
    EXPECT_EQ(loadImage(path, image, why), c.loads) << why.toStdString();
    if (c.loads) {
        EXPECT_EQ(image.size(), original.size());
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
    } else {
        EXPECT_TRUE(image.isNull());
        const int bytes = c.format == QImage::Format_RGBX64 ? 8 : 4;
        EXPECT_EQ(why, QStringLiteral("the image is %1x%2 pixels, more than the image library may "
                                      "allocate (1 MB at %3 bytes a pixel)")
                           .arg(c.width)
                           .arg(c.height)
                           .arg(bytes));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, AllocationLimit,
    testing::Values(LimitCase{"RgbAtTheLimit", 512, 512, QImage::Format_RGB32, true},
                    LimitCase{"RgbAboveIt", 513, 512, QImage::Format_RGB32, false},
                    // Held as 32-bit RGB after loading: four times its size in the file.
                    LimitCase{"GreyThatGrowsAboveIt", 520, 520, QImage::Format_Grayscale8, false},
                    LimitCase{"SixteenBitsAtTheLimit", 362, 362, QImage::Format_RGBX64, true},
                    LimitCase{"SixteenBitsAboveIt", 363, 362, QImage::Format_RGBX64, false}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ImageLoaderTest, RefusesAHugeSizeFromTheHeaderBeforeAllocating)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("huge.png"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pngClaimingSize(100000, 100000));
    file.close();

    QImage image;
    QString why;
    EXPECT_FALSE(loadImage(file.fileName(), image, why));
    EXPECT_EQ(why, QStringLiteral("the image is 100000x100000 pixels, more than the image library "
                                  "may allocate (%1 MB at 4 bytes a pixel)")
                       .arg(QImageReader::allocationLimit()));
}

// Loading converts every stored format to 32-bit RGB without changing
// the colour any pixel reads as.
TEST(ImageLoaderTest, KeepsEveryPixelsColourAcrossFormats)
{
    QImage source(40, 30, QImage::Format_ARGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            source.setPixel(x, y, qRgba(x * 6, y * 8, (x * y) % 256, 255 - x));
    QTemporaryDir dir;
    for (QImage::Format format :
         {QImage::Format_Indexed8, QImage::Format_Grayscale8, QImage::Format_Grayscale16,
          QImage::Format_RGBA64, QImage::Format_ARGB32, QImage::Format_RGB888}) {
        const QImage stored = source.convertToFormat(format);
        const QString path = dir.filePath(QStringLiteral("%1.png").arg(int(format)));
        ASSERT_TRUE(stored.save(path));
        const QImage original(path);
        QImage loaded;
        QString why;
        ASSERT_TRUE(loadImage(path, loaded, why));
        EXPECT_TRUE(loaded.format() == QImage::Format_RGB32 ||
                    loaded.format() == QImage::Format_ARGB32);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(loaded.pixel(x, y), original.pixel(x, y)) << "format " << format;
    }
}

TEST(ImageLoaderTest, SaysWhyAFileIsNotAnImage)
{
    QTemporaryDir dir;
    QImage image;
    QString why;
    EXPECT_FALSE(loadImage(dir.filePath("missing.png"), image, why));
    EXPECT_TRUE(image.isNull());
    EXPECT_FALSE(why.isEmpty());
}

} // namespace
