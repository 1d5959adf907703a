#include "Painter.h"
#include "ImageLoader.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace
{

using Pixels = std::set<std::pair<int, int>>; // (column, row)

Pixels greenPixels(const QImage& image)
{
    Pixels green;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == kBoxColour)
                green.insert({x, y});
    return green;
}

QImage blank(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    return image;
}

TEST(PainterTest, DrawsTheSearchWindowOutlineWithItsOpenCorners)
{
    QImage image = blank(200, 240);
    paintBox(image, 0, 35, 200, 115);
    Pixels expected;
    for (int x = 36; x <= 113; ++x) {
        expected.insert({x, 0});
        expected.insert({x, 200});
    }
    for (int y = 0; y <= 198; ++y) {
        expected.insert({35, y});
        expected.insert({115, y});
    }
    EXPECT_EQ(greenPixels(image), expected);
    EXPECT_NE(image.pixel(114, 0), kBoxColour);
}

TEST(PainterTest, SkipsTheBottomEdgeOfAnImageExactly200RowsHigh)
{
    QImage image = blank(120, 200);
    paintBox(image, 0, 0, 200, 80);
    for (const auto& p : greenPixels(image))
        EXPECT_LT(p.second, 199);
    EXPECT_EQ(greenPixels(image).size(), 78u + 2 * 199u);
}

TEST(PainterTest, SkipsEverythingOutsideTheImage)
{
    QImage image = blank(50, 50);
    paintBox(image, -2147483647 - 1, -100, 2147483647, 2147483647);
    EXPECT_EQ(greenPixels(image), Pixels{});
    paintBox(image, 10, 40, 30, 90); // the right column lies outside
    EXPECT_EQ(greenPixels(image).size(), 9u + 9u + 19u);
}

TEST(PainterTest, ReportsOnlyThePixelsThatChanged)
{
    QImage image = blank(200, 240);
    paintBox(image, 0, 0, 200, 80);
    const ChangedEdges changed = paintBox(image, 0, 5, 200, 85);
    EXPECT_EQ(changed[0], QRect(79, 0, 5, 1)); // row 0: only past the first box
    EXPECT_EQ(changed[1], QRect(79, 200, 5, 1));
    EXPECT_EQ(changed[2], QRect(5, 1, 1, 198));  // left column below the first top edge
    EXPECT_EQ(changed[3], QRect(85, 0, 1, 199)); // right column
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
