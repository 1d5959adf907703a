#include "FoundImages.h"
#include "GreenPixels.h"
#include "Painter.h"
#include "Programs.h"
#include "TestImages.h"
#include "TestScenes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <utility>

namespace
{

const QRgb kGround = qRgb(10, 20, 30);

// The outline the search draws: rows Ymin and Ymax from Xmin+1 to Xmax-2,
// columns Xmin and Xmax from Ymin to Ymax-2, clipped to the image.
void addOutline(Pixels& pixels, int Ymin, int Xmin, int Ymax, int Xmax, int w, int h)
{
    const auto add = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h)
            pixels.insert({x, y});
    };
    for (int x = Xmin + 1; x <= Xmax - 2; ++x) {
        add(x, Ymin);
        add(x, Ymax);
    }
    for (int y = Ymin; y <= Ymax - 2; ++y) {
        add(Xmin, y);
        add(Xmax, y);
    }
}

class DrawBoxesTest : public testing::Test
{
protected:
    QTemporaryDir dir;

    void SetUp() override
    {
        ASSERT_TRUE(QDir(dir.path()).mkpath("in"));
        ASSERT_TRUE(savePng(constantImage(300, 240, kGround), path("in/3.png")));
        ASSERT_TRUE(savePng(randomImage(260, 220, 5), path("in/5.png")));
        ASSERT_TRUE(savePng(randomImage(250, 210, 8), path("in/8.png")));
        // Image 3's boxes are not on adjacent lines; the second runs off the image.
        write("found.txt", "3  0  35  200  115\n5 10 20 100 60\n3 0 250 200 330\n");
    }

    QString path(const QString& name) const { return dir.filePath(name); }

    void write(const QString& name, const QByteArray& content)
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    // Without XDG_RUNTIME_DIR, as under root, where Qt has a remark about it.
    RunResult draw(const QStringList& extra = {})
    {
        return runProgram(QStringLiteral(DRAW_BOXES_PATH),
                          QStringList{path("in"), path("found.txt"), path("out")} + extra, {},
                          {"XDG_RUNTIME_DIR="});
    }
};

TEST_F(DrawBoxesTest, DrawsEveryBoxOfAnImageInTheSearchGreenAndNothingElse)
{
    const RunResult r = draw();
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");
    const QImage drawn(path("out/3.png"));
    ASSERT_EQ(drawn.size(), QSize(300, 240));
    Pixels expected;
    addOutline(expected, 0, 35, 200, 115, 300, 240);
    addOutline(expected, 0, 250, 200, 330, 300, 240);
    EXPECT_EQ(greenPixels(drawn), expected);
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (!expected.count({x, y})) {
                ASSERT_EQ(drawn.pixel(x, y), kGround) << x << "," << y;
            }
}

TEST_F(DrawBoxesTest, WritesNamedImagesWithoutBoxesUnchangedAndLeavesOthersOut)
{
    ASSERT_TRUE(savePng(randomImage(240, 200, 7), path("in/7.png")));
    write("names.txt", "7\n5\n");
    const RunResult r = draw({"--names", path("names.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QImage(path("out/7.png")), randomImage(240, 200, 7));
    EXPECT_TRUE(QFile::exists(path("out/3.png")));
    EXPECT_TRUE(QFile::exists(path("out/5.png")));
    EXPECT_FALSE(QFile::exists(path("out/8.png")));
    EXPECT_EQ(r.out,
              "ombre-draw-boxes: drew 3 boxes on 3 images in " + path("out").toUtf8() + "\n");
}

TEST_F(DrawBoxesTest, ContactSheetDrawsSharpBoxesOnTheReducedPictures)
{
    const RunResult r = draw({"--sheet", path("sheet.png"), "--scale", "50", "--first", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QImage sheet(path("sheet.png"));
    ASSERT_FALSE(sheet.isNull());
    // Only image 3, at half size: its two boxes' sides are columns 40 apart.
    std::map<int, int> greenInColumn;
    for (const auto& [x, y] : greenPixels(sheet))
        ++greenInColumn[x];
    std::vector<int> sides;
    for (const auto& [x, count] : greenInColumn)
        if (count >= 99)
            sides.push_back(x);
    ASSERT_EQ(sides.size(), 3u); // the second box's right side is off the image
    EXPECT_EQ(sides[1] - sides[0], 40);
    EXPECT_EQ(sides[2] - sides[0], 107);
    EXPECT_LT(sheet.width(), 200);
}

TEST_F(DrawBoxesTest, FailuresNameTheFileAndSetTheExitCode)
{
    struct Case {
        QStringList args;
        int exitCode;
        QByteArray err;
    };
    write("missing.txt", "3 0 35 200 115\n9 0 35 200 115\n");
    const QByteArray in = path("in").toUtf8();
    const std::vector<Case> cases = {
        {{path("in"), path("missing.txt"), path("out")}, 1, "can't load image " + in + "/9.png"},
        {{path("in"), path("none.txt"), path("out")}, 1, path("none.txt").toUtf8()},
        {{path("in"), path("found.txt")}, 2, "usage: ombre-draw-boxes"},
        {{path("in"), path("found.txt"), path("out"), "--scale", "0"}, 2, "--scale takes"},
        {{path("in"), path("found.txt"), path("out"), "--sheet"}, 2, "--sheet needs a value"},
    };
    for (const Case& c : cases) {
        const RunResult r = runProgram(QStringLiteral(DRAW_BOXES_PATH), c.args, {});
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
    }
}

TEST(FoundImagesTest, ImagesFollowTheNamesThenTheBoxesFirstAppearance)
{
    const std::vector<Box> boxes = {{3, 0, 1, 200, 81}, {9, 0, 5, 200, 85}, {3, 0, 7, 200, 87}};
    const std::vector<FoundImage> images = groupByImage(boxes, {5, 3, 5});
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].Num, 5);
    EXPECT_TRUE(images[0].boxes.empty());
    EXPECT_EQ(images[1].Num, 3);
    EXPECT_EQ(images[1].boxes, (std::vector<Box>{boxes[0], boxes[2]}));
    EXPECT_EQ(images[2].Num, 9);
    EXPECT_EQ(images[2].boxes, (std::vector<Box>{boxes[1]}));
}

} // namespace
