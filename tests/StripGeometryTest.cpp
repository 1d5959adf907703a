#include "StripGeometry.h"
#include "EmptyStrips.h"
#include "PhotoSplit.h"
#include "StripImage.h"

#include <QImage>
#include <gtest/gtest.h>

#include <random>

namespace
{

PersonBox person(int xmin, int ymin, int xmax, int ymax)
{
    return PersonBox{xmin, ymin, xmax, ymax, QString()};
}

// Photographs of random sizes with one to four people who do not overlap.
struct RandomScene {
    QSize size;
    std::vector<PersonBox> people;
};

RandomScene randomScene(std::mt19937& random)
{
    RandomScene scene;
    const int W = std::uniform_int_distribution<int>(60, 2000)(random);
    const int H = std::uniform_int_distribution<int>(30, 1500)(random);
    scene.size = QSize(W, H);
    const int count = std::uniform_int_distribution<int>(1, 4)(random);
    for (int k = 0; k < count; ++k) {
        const int h = std::uniform_int_distribution<int>(20, H)(random);
        const int w = std::uniform_int_distribution<int>(1, std::min(W, h))(random);
        const int x = std::uniform_int_distribution<int>(0, W - w)(random);
        const int y = std::uniform_int_distribution<int>(0, H - h)(random);
        scene.people.push_back(person(x, y, x + w, y + h));
    }
    return scene;
}

TEST(StripGeometryTest, ScalesAPhotographSoThatThePersonIs195RowsFromRowZero)
{
    // 390 rows high: half size. 480 photo rows make the 240 strip rows and
    // 640 columns the 320 strip columns, centred on the person's column 430.
    const StripPlan plan = planPersonStrip(QSize(1000, 800), {person(400, 100, 460, 490)}, 0, 320);
    ASSERT_TRUE(plan.why.isEmpty()) << plan.why.toStdString();
    EXPECT_EQ(plan.source, QRect(110, 100, 640, 480));
    EXPECT_EQ(plan.size, QSize(320, 240));
    ASSERT_EQ(plan.boxes.size(), 1u);
    EXPECT_EQ(plan.boxes[0].Ymin, 0);
    EXPECT_EQ(plan.boxes[0].Xmin, 120);
    EXPECT_EQ(plan.boxes[0].Ymax, 200);
    EXPECT_EQ(plan.boxes[0].Xmax, 200);
}

TEST(StripGeometryTest, ScalesUpAPersonAtTheBottomEdgeUntilTheWindowFits)
{
    // 150 rows to the bottom: 195 rows would leave the window short, so the
    // person becomes 200 rows high and the window moves inside the strip.
    const StripPlan plan = planPersonStrip(QSize(600, 400), {person(0, 250, 50, 400)}, 0, 320);
    ASSERT_TRUE(plan.why.isEmpty());
    EXPECT_EQ(plan.source.top(), 250);
    EXPECT_EQ(plan.source.height(), 150);
    EXPECT_EQ(plan.size.height(), 200);
    EXPECT_EQ(plan.source.left(), 0);
    ASSERT_EQ(plan.boxes.size(), 1u);
    EXPECT_EQ(plan.boxes[0].Xmin, 0);
    EXPECT_EQ(plan.boxes[0].Xmax, 80);
}

TEST(StripGeometryTest, RefusesAStripNarrowerThanTheWindow)
{
    const StripPlan plan = planPersonStrip(QSize(30, 400), {person(5, 0, 25, 150)}, 0, 320);
    EXPECT_FALSE(plan.why.isEmpty());
    EXPECT_TRUE(plan.boxes.empty());
}

TEST(StripGeometryTest, KeepsNeighboursOutOfTheRowsBesideTheWindow)
{
    // Three people of one height in a row: the middle one's strip stops at
    // its neighbours, whose boxes would otherwise give background windows.
    const std::vector<PersonBox> people = {person(100, 100, 160, 490), person(400, 100, 460, 490),
                                           person(700, 100, 760, 490)};
    const StripPlan plan = planPersonStrip(QSize(1000, 800), people, 1, 640);
    ASSERT_TRUE(plan.why.isEmpty());
    EXPECT_EQ(plan.source.left(), 160);
    EXPECT_EQ(plan.source.right() + 1, 700);
    EXPECT_EQ(plan.boxes.size(), 1u);
}

TEST(StripGeometryTest, GivesABoxToAnotherPersonWhollyInTheWindowRows)
{
    // A child in front of the person, inside the window's columns and rows.
    const std::vector<PersonBox> people = {person(400, 100, 460, 490), person(440, 250, 480, 450)};
    const StripPlan plan = planPersonStrip(QSize(1000, 800), people, 0, 320);
    ASSERT_EQ(plan.boxes.size(), 2u);
    EXPECT_LT(plan.boxes[0].Xmin, plan.boxes[1].Xmin);
    EXPECT_EQ(plan.boxes[1].Xmin, 135); // centre (460 - 110) / 2 = 175
}

TEST(StripGeometryTest, HoldsItsPromisesOnRandomPhotographs)
{
    std::mt19937 random(7);
    int planned = 0;
    for (int round = 0; round < 3000; ++round) {
        const RandomScene scene = randomScene(random);
        const int maxWidth = std::uniform_int_distribution<int>(80, 700)(random);
        for (int i = 0; i < static_cast<int>(scene.people.size()); ++i) {
            const PersonBox& p = scene.people[i];
            const StripPlan plan = planPersonStrip(scene.size, scene.people, i, maxWidth);
            if (!plan.why.isEmpty())
                continue;
            ++planned;
            SCOPED_TRACE(::testing::Message() << "round " << round << " person " << i);
            ASSERT_TRUE(QRect(QPoint(0, 0), scene.size).contains(plan.source));
            ASSERT_EQ(plan.source.top(), p.ymin);
            ASSERT_GE(plan.size.height(), 200);
            ASSERT_LE(plan.size.height(), 240);
            ASSERT_GE(plan.size.width(), 80);
            ASSERT_LE(plan.size.width(), maxWidth);
            const double scaleY = double(plan.size.height()) / plan.source.height();
            const double scaleX = double(plan.size.width()) / plan.source.width();
            const double height = (p.ymax - p.ymin) * scaleY;
            ASSERT_GE(height, 190);
            ASSERT_LE(height, 200 + 1e-9);
            ASSERT_FALSE(plan.boxes.empty());
            for (const StripBox& b : plan.boxes) {
                ASSERT_EQ(b.Ymin, 0);
                ASSERT_EQ(b.Ymax, 200);
                ASSERT_EQ(b.Xmax - b.Xmin, 80);
                ASSERT_GE(b.Xmin, 0);
                ASSERT_LE(b.Xmax, plan.size.width());
            }
            // The person's window is centred on them unless a strip edge is near.
            const double centre = ((p.xmin + p.xmax) / 2.0 - plan.source.left()) * scaleX;
            bool centred = false;
            for (const StripBox& b : plan.boxes)
                centred = centred || std::abs(b.Xmin + 40 - centre) <= 0.5 ||
                          (b.Xmin == 0 && centre < 40) ||
                          (b.Xmax == plan.size.width() && centre > plan.size.width() - 40);
            ASSERT_TRUE(centred);
            // Anyone else in the window's rows of the strip stands in the window's columns.
            const double windowLeft = (p.xmin + p.xmax) / 2.0 - 40 / scaleX - 1;
            const double windowRight = (p.xmin + p.xmax) / 2.0 + 40 / scaleX + 1;
            for (const PersonBox& q : scene.people) {
                const bool inRows = q.ymax > p.ymin && q.ymin < p.ymin + 200 / scaleY;
                const bool inColumns = q.xmax > plan.source.left() && q.xmin <= plan.source.right();
                if (inRows && inColumns) {
                    ASSERT_TRUE(q.xmax > windowLeft && q.xmin < windowRight);
                }
            }
        }
    }
    EXPECT_GT(planned, 2000);
}

TEST(StripGeometryTest, MirrorsBoxesAcrossTheStripWidth)
{
    const std::vector<PersonBox> people = {person(400, 100, 460, 490), person(440, 250, 480, 450)};
    const StripPlan plan = planPersonStrip(QSize(1000, 800), people, 0, 300);
    const StripPlan mirrored = mirrorPlan(plan);
    const int width = plan.size.width();
    ASSERT_EQ(mirrored.boxes.size(), 2u);
    EXPECT_TRUE(mirrored.mirrored);
    // Left to right again: the last box comes first.
    EXPECT_EQ(mirrored.boxes[0].Xmin, width - plan.boxes[1].Xmax);
    EXPECT_EQ(mirrored.boxes[0].Xmax, width - plan.boxes[1].Xmin);
    EXPECT_EQ(mirrored.boxes[1].Xmin, width - plan.boxes[0].Xmax);
    EXPECT_EQ(mirrored.boxes[1].Xmax, width - plan.boxes[0].Xmin);
    EXPECT_EQ(mirrored.source, plan.source);
}

// A white photograph with the person's box painted red, so that the strip
// shows where the box went.
QImage photoWithRedBox(QSize size, const PersonBox& p)
{
    QImage photo(size, QImage::Format_RGB32);
    photo.fill(Qt::white);
    for (int y = p.ymin; y < p.ymax; ++y)
        for (int x = p.xmin; x < p.xmax; ++x)
            photo.setPixel(x, y, qRgb(255, 0, 0));
    return photo;
}

bool isRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 60;
}

TEST(StripImageTest, PutsTheTopOfThePersonsBoxOnRowZero)
{
    const PersonBox p = person(300, 123, 350, 423);
    const QImage photo = photoWithRedBox(QSize(800, 700), p);
    const StripPlan plan = planPersonStrip(photo.size(), {p}, 0, 320);
    const QImage strip = cutStrip(photo, plan);
    ASSERT_EQ(strip.size(), plan.size);
    const int centre = (plan.boxes[0].Xmin + plan.boxes[0].Xmax) / 2;
    EXPECT_TRUE(isRed(strip.pixel(centre, 0)));
    int bottom = 0;
    while (bottom < strip.height() && isRed(strip.pixel(centre, bottom)))
        ++bottom;
    EXPECT_GE(bottom, 194);
    EXPECT_LE(bottom, 200);
}

TEST(StripImageTest, MirrorsTheStripLeftToRight)
{
    const PersonBox p = person(300, 100, 350, 400);
    const QImage photo = photoWithRedBox(QSize(800, 700), p);
    const StripPlan plan = planPersonStrip(photo.size(), {p}, 0, 320);
    const QImage strip = cutStrip(photo, plan);
    const QImage mirrored = cutStrip(photo, mirrorPlan(plan));
    ASSERT_EQ(mirrored.size(), strip.size());
    for (int y = 0; y < strip.height(); y += 17)
        for (int x = 0; x < strip.width(); ++x)
            ASSERT_EQ(mirrored.pixel(strip.width() - 1 - x, y), strip.pixel(x, y));
}

TEST(PhotoSplitTest, TakesTheShareOfPhotographsTheSameWayEveryTime)
{
    std::vector<QString> names;
    for (int k = 0; k < 200; ++k)
        names.push_back(QStringLiteral("photo-%1.jpg").arg(k));
    const std::vector<bool> test = chooseTestPhotos(names, 0.3, 5);
    EXPECT_EQ(std::count(test.begin(), test.end(), true), 60);
    EXPECT_EQ(chooseTestPhotos(names, 0.3, 5), test);
    EXPECT_NE(chooseTestPhotos(names, 0.3, 6), test);
}

TEST(PhotoSplitTest, KeepsAPhotographsSideWhenOthersAreListedInAnotherOrder)
{
    std::vector<QString> names;
    for (int k = 0; k < 50; ++k)
        names.push_back(QStringLiteral("p%1.png").arg(k));
    std::vector<QString> reversed(names.rbegin(), names.rend());
    const std::vector<bool> test = chooseTestPhotos(names, 0.5, 1);
    const std::vector<bool> back = chooseTestPhotos(reversed, 0.5, 1);
    for (int k = 0; k < 50; ++k)
        EXPECT_EQ(test[k], back[49 - k]) << names[k].toStdString();
}

TEST(PhotoSplitTest, TakesNoneOrAllAtTheEnds)
{
    const std::vector<QString> names = {"a", "b", "c"};
    EXPECT_EQ(chooseTestPhotos(names, 0, 1), std::vector<bool>(3, false));
    EXPECT_EQ(chooseTestPhotos(names, 1, 1), std::vector<bool>(3, true));
}

TEST(EmptyStripsTest, CutsStripsOfTheWindowsHeightInsideThePhotograph)
{
    std::mt19937 random(3);
    for (int round = 0; round < 500; ++round) {
        const QSize size(std::uniform_int_distribution<int>(40, 3000)(random),
                         std::uniform_int_distribution<int>(40, 3000)(random));
        const QString name = QStringLiteral("empty-%1.jpg").arg(round);
        const std::vector<StripPlan> plans = planEmptyStrips(size, name, 3, 320, 9);
        ASSERT_EQ(plans.size(), 3u);
        for (const StripPlan& plan : plans) {
            if (!plan.why.isEmpty())
                continue;
            ASSERT_TRUE(QRect(QPoint(0, 0), size).contains(plan.source)) << round;
            ASSERT_GE(plan.size.height(), 200);
            ASSERT_LE(plan.size.height(), 240);
            ASSERT_GE(plan.size.width(), 80);
            ASSERT_LE(plan.size.width(), 320);
            ASSERT_TRUE(plan.boxes.empty());
        }
        const std::vector<StripPlan> again = planEmptyStrips(size, name, 3, 320, 9);
        for (int k = 0; k < 3; ++k)
            ASSERT_EQ(again[k].source, plans[k].source);
    }
}

} // namespace
