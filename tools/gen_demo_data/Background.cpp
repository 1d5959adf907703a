#include "Background.h"

#include "Clutter.h"
#include "Palette.h"
#include "Random.h"
#include "Settings.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

void paintBricks(QPainter& painter, Random& random, const Scene& scene, const QColor& wall)
{
    const double rowHeight = random.real(7, 11);
    const double brickWidth = random.real(18, 30);
    const QColor mortar = Palette::scaled(wall, random.chance(0.5) ? 1.25 : 0.7);
    painter.fillRect(QRectF(0, 0, scene.width, scene.groundY), mortar);
    int row = 0;
    for (double y = 0; y < scene.groundY; y += rowHeight, ++row) {
        const double offset = (row % 2) * brickWidth / 2;
        for (double x = -offset; x < scene.width; x += brickWidth) {
            const QColor tone = Palette::scaled(wall, random.real(0.85, 1.12));
            const QColor brick = Palette::jittered(tone, random, 4);
            painter.fillRect(QRectF(x + 1, y + 1, brickWidth - 2, rowHeight - 2), brick);
        }
    }
}

void paintBoards(QPainter& painter, Random& random, const Scene& scene, const QColor& wall)
{
    const double board = random.real(9, 18);
    for (double y = 0; y < scene.groundY; y += board) {
        painter.fillRect(QRectF(0, y, scene.width, board), Palette::jittered(wall, random, 6));
        painter.fillRect(QRectF(0, y + board - 2, scene.width, 2), Palette::scaled(wall, 0.7));
    }
}

void paintTiles(QPainter& painter, Random& random, const Scene& scene, const QColor& wall)
{
    const double tile = random.real(18, 40);
    const QColor grout = Palette::scaled(wall, 1.2);
    for (double y = 0; y < scene.groundY; y += tile)
        for (double x = 0; x < scene.width; x += tile) {
            painter.fillRect(QRectF(x, y, tile, tile), grout);
            painter.fillRect(QRectF(x + 1.5, y + 1.5, tile - 3, tile - 3),
                             Palette::jittered(wall, random, 5));
        }
}

void paintPanels(QPainter& painter, Random& random, const Scene& scene, const QColor& wall)
{
    for (double x = random.real(-40, 0); x < scene.width; x += random.real(60, 150))
        painter.fillRect(QRectF(x, 0, 2, scene.groundY), Palette::scaled(wall, 0.75));
    const double seam = random.real(40, 120);
    painter.fillRect(QRectF(0, seam, scene.width, 2), Palette::scaled(wall, 0.75));
}

// Faint large stains, so that a plain wall is not perfectly flat.
void paintStains(QPainter& painter, Random& random, const Scene& scene, const QColor& wall)
{
    const int stains = random.uniform(3, 10);
    for (int i = 0; i < stains; ++i) {
        const double x = random.real(0, scene.width);
        const double y = random.real(0, scene.groundY);
        const double rx = random.real(15, 80);
        const double ry = random.real(10, 60);
        QColor colour = Palette::scaled(wall, random.chance(0.5) ? 0.8 : 1.2);
        colour.setAlpha(random.uniform(15, 45));
        painter.setBrush(colour);
        painter.drawEllipse(QPointF(x, y), rx, ry);
    }
    painter.setBrush(Qt::NoBrush);
}

void paintWall(QPainter& painter, Random& random, const Scene& scene)
{
    const QColor wall = Palette::wall(random);
    QLinearGradient shade(0, 0, 0, scene.groundY);
    shade.setColorAt(0, Palette::scaled(wall, random.real(0.85, 1.15)));
    shade.setColorAt(1, Palette::scaled(wall, random.real(0.85, 1.1)));
    painter.fillRect(QRectF(0, 0, scene.width, scene.groundY), shade);
    switch (random.uniform(0, 4)) {
    case 0:
        paintBricks(painter, random, scene, wall);
        break;
    case 1:
        paintBoards(painter, random, scene, wall);
        break;
    case 2:
        paintTiles(painter, random, scene, wall);
        break;
    case 3:
        paintPanels(painter, random, scene, wall);
        break;
    default:
        break;
    }
    paintStains(painter, random, scene, wall);
}

// Sky over a row of distant buildings, each with its own grid of windows.
void paintStreet(QPainter& painter, Random& random, const Scene& scene)
{
    const QColor sky = Palette::sky(random);
    QLinearGradient air(0, 0, 0, scene.groundY);
    air.setColorAt(0, Palette::scaled(sky, 0.9));
    air.setColorAt(1, Palette::scaled(sky, 1.1));
    painter.fillRect(QRectF(0, 0, scene.width, scene.groundY), air);
    for (double x = random.real(-60, 0); x < scene.width;) {
        const double width = random.real(50, 160);
        const double top = random.real(-10, scene.groundY - 60);
        const QColor plaster = Palette::wall(random);
        const QColor facade = Palette::scaled(plaster, random.real(0.7, 1.0));
        const QRectF block(x, top, width, scene.groundY - top);
        painter.fillRect(block, facade);
        const double pitchX = random.real(12, 24);
        const double pitchY = random.real(14, 26);
        const QColor pane = Palette::scaled(Palette::glass(random), 0.8);
        for (double wy = top + 6; wy + pitchY < scene.groundY; wy += pitchY)
            for (double wx = x + 5; wx + pitchX < x + width; wx += pitchX)
                painter.fillRect(QRectF(wx, wy, pitchX * 0.55, pitchY * 0.55), pane);
        x += width + random.real(0, 30);
    }
}

void paintGround(QPainter& painter, Random& random, const Scene& scene)
{
    const QColor ground = Palette::ground(random);
    const double depth = scene.height - scene.groundY;
    QLinearGradient near(0, scene.groundY, 0, scene.height);
    near.setColorAt(0, Palette::scaled(ground, 0.9));
    near.setColorAt(1, Palette::scaled(ground, 1.1));
    painter.fillRect(QRectF(0, scene.groundY, scene.width, depth), near);
    // Paving seams: rows further apart as they come nearer, and joints that
    // run towards a vanishing point high above the strip.
    const QColor seam = Palette::scaled(ground, 0.72);
    for (double step = 3, y = scene.groundY + step; y < scene.height; step *= 1.6, y += step)
        painter.fillRect(QRectF(0, y, scene.width, 1.2), seam);
    const double vanishX = random.real(0, scene.width);
    const double vanishY = scene.groundY - random.real(150, 400);
    const double spacing = random.real(25, 60);
    painter.setPen(QPen(seam, 1.2));
    for (double x = std::fmod(vanishX, spacing) - spacing * 4; x < scene.width + spacing * 4;
         x += spacing) {
        const double t = (scene.height - vanishY) / (scene.groundY - vanishY);
        painter.drawLine(QPointF(x, scene.groundY),
                         QPointF(vanishX + (x - vanishX) * t, scene.height));
    }
    painter.setPen(Qt::NoPen);
    painter.fillRect(QRectF(0, scene.groundY - 1, scene.width, 3), Palette::scaled(ground, 0.6));
}

struct Placement {
    Clutter kind;
    double x;
};

void paintClutter(QPainter& painter, Random& random, const Scene& scene,
                  const ClutterSettings& settings)
{
    const double expected = settings.density * scene.width / 100.0;
    const int count = std::max(1, int(expected + random.real(-0.5, 0.5) + 0.5));
    std::vector<Placement> placements;
    for (int i = 0; i < count; ++i) {
        const int kind = random.uniform(0, kClutterKinds - 1);
        const double x = random.real(-20, scene.width + 20);
        placements.push_back({Clutter(kind), x});
    }
    // Things on the wall first, things standing in front of it after.
    std::stable_sort(
        placements.begin(), placements.end(), [](const Placement& a, const Placement& b) {
            return (int(a.kind) >= kWallClutterKinds) < (int(b.kind) >= kWallClutterKinds);
        });
    for (const Placement& placement : placements)
        drawClutter(painter, random, scene, placement.kind, placement.x);
}

} // namespace

void drawBackground(QImage& image, Random& random, const ClutterSettings& settings)
{
    Scene scene;
    scene.width = image.width();
    scene.height = image.height();
    scene.groundY = random.real(150, 190);
    scene.light = random.real(-0.3, 0.3);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (random.chance(settings.outdoorShare))
        paintStreet(painter, random, scene);
    else
        paintWall(painter, random, scene);
    paintGround(painter, random, scene);
    paintClutter(painter, random, scene, settings);
}
