#include "Clutter.h"

#include "Palette.h"
#include "Random.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace
{

void fillRounded(QPainter& painter, const QRectF& box, const QColor& colour, const Scene& scene)
{
    painter.fillRect(box, Palette::rounded(colour, box.left(), box.right(), scene.light));
}

// Where an object standing on the ground puts its foot: the wall meets the
// ground at groundY, and nearer objects stand lower.
double footRow(Random& random, const Scene& scene)
{
    return std::min(scene.groundY + random.real(0, 18), scene.height - 2.0);
}

void drawWindow(QPainter& painter, Random& random, const Scene&, double x)
{
    const double width = random.real(40, 130);
    const double top = random.real(-20, 70);
    const double height = random.real(50, 120);
    const double frame = random.real(3, 7);
    const QColor frameColour = random.chance(0.5) ? QColor(230, 228, 220) : Palette::wood(random);
    const QColor glass = Palette::glass(random);
    const QRectF outer(x - width / 2, top, width, height);
    painter.fillRect(outer, frameColour);
    const QRectF pane = outer.adjusted(frame, frame, -frame, -frame);
    // Glass shows the sky or a room, brighter towards one top corner.
    QLinearGradient reflection(pane.topLeft(), pane.bottomRight());
    reflection.setColorAt(0, Palette::scaled(glass, 1.35));
    reflection.setColorAt(1, Palette::scaled(glass, 0.8));
    painter.fillRect(pane, reflection);
    const int columns = random.uniform(1, 3);
    const int rows = random.uniform(1, 3);
    for (int c = 1; c < columns; ++c)
        painter.fillRect(QRectF(pane.left() + pane.width() * c / columns - frame / 3, pane.top(),
                                frame * 0.66, pane.height()),
                         frameColour);
    for (int r = 1; r < rows; ++r)
        painter.fillRect(QRectF(pane.left(), pane.top() + pane.height() * r / rows - frame / 3,
                                pane.width(), frame * 0.66),
                         frameColour);
    painter.fillRect(QRectF(outer.left() - 4, outer.bottom(), width + 8, 4),
                     Palette::scaled(frameColour, 0.8));
}

void drawDoor(QPainter& painter, Random& random, const Scene& scene, double x)
{
    const double width = random.real(60, 110);
    const double top = random.real(0, 45);
    const double frame = random.real(4, 9);
    const double bottom = scene.groundY + 2;
    const QColor frameColour = random.chance(0.5) ? Palette::wood(random) : Palette::metal(random);
    const QColor leaf = random.chance(0.5) ? Palette::wood(random) : Palette::wall(random);
    const QRectF outer(x - width / 2, top, width, bottom - top);
    fillRounded(painter, outer, frameColour, scene);
    const QRectF inner = outer.adjusted(frame, frame, -frame, 0);
    painter.fillRect(inner, leaf);
    if (random.chance(0.6)) {
        // Panels: inset rectangles with a shadow line along their top.
        const double gap = inner.width() * 0.15;
        const double panelHeight = (inner.height() - 3 * gap) / 2;
        for (int i = 0; i < 2; ++i) {
            const QRectF panel(inner.left() + gap, inner.top() + gap + i * (panelHeight + gap),
                               inner.width() - 2 * gap, panelHeight);
            painter.fillRect(panel, Palette::scaled(leaf, 0.88));
            painter.fillRect(QRectF(panel.left(), panel.top(), panel.width(), 2),
                             Palette::scaled(leaf, 0.7));
        }
    } else {
        painter.fillRect(inner.adjusted(inner.width() * 0.2, inner.height() * 0.08,
                                        -inner.width() * 0.2, -inner.height() * 0.55),
                         Palette::glass(random));
    }
    const double handleX = random.chance(0.5) ? inner.left() + 6 : inner.right() - 10;
    painter.fillRect(QRectF(handleX, inner.top() + inner.height() * 0.52, 4, 10),
                     Palette::metal(random));
}

void drawPoster(QPainter& painter, Random& random, const Scene&, double x)
{
    const double width = random.real(30, 90);
    const double height = random.real(40, 100);
    const double top = random.real(10, 90);
    const QRectF sheet(x - width / 2, top, width, height);
    painter.fillRect(sheet, random.chance(0.5) ? QColor(235, 232, 222) : Palette::vivid(random));
    // Lines of print and a picture block.
    const QColor ink = random.chance(0.5) ? QColor(30, 30, 34) : Palette::vivid(random);
    const int lines = random.uniform(2, 6);
    for (int i = 0; i < lines; ++i) {
        const double row = sheet.top() + 6 + i * (height - 10) / lines;
        const double length = random.real(0.4, 0.9) * (width - 8);
        painter.fillRect(QRectF(sheet.left() + 4, row, length, random.real(2, 5)), ink);
    }
    if (random.chance(0.5)) {
        const double block = random.real(0.3, 0.6) * width;
        painter.fillRect(
            QRectF(sheet.center().x() - block / 2, sheet.bottom() - block - 4, block, block * 0.8),
            Palette::vivid(random));
    }
}

void drawPillar(QPainter& painter, Random& random, const Scene& scene, double x)
{
    const double width = random.real(18, 50);
    const QColor plaster = Palette::wall(random);
    const QColor stone = Palette::scaled(plaster, random.real(0.75, 1.2));
    fillRounded(painter, QRectF(x - width / 2, 0, width, scene.groundY + 4), stone, scene);
    if (random.chance(0.5))
        painter.fillRect(QRectF(x - width / 2 - 4, scene.groundY - 12, width + 8, 12),
                         Palette::scaled(stone, 0.85));
}

void drawRailing(QPainter& painter, Random& random, const Scene& scene, double x)
{
    const double length = random.real(80, 260);
    const QColor colour = Palette::metal(random);
    const double foot = footRow(random, scene);
    const double rise = random.chance(0.4) ? random.real(-60, 60) : 0;
    const double height = random.real(45, 70);
    const double bar = random.real(2.5, 4.5);
    const double spacing = random.real(9, 22);
    const QPointF start(x - length / 2, foot - height);
    const QPointF end(x + length / 2, foot - height + rise);
    painter.setPen(QPen(colour, bar, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(start, end);
    painter.drawLine(start + QPointF(0, height * 0.55), end + QPointF(0, height * 0.55));
    painter.setPen(QPen(colour, bar * 0.6, Qt::SolidLine, Qt::FlatCap));
    for (double s = 0; s <= length; s += spacing) {
        const QPointF onRail = start + (end - start) * (s / length);
        painter.drawLine(onRail, QPointF(onRail.x(), onRail.y() + height));
    }
    painter.setPen(Qt::NoPen);
}

void drawPole(QPainter& painter, Random& random, const Scene& scene, double x)
{
    const double width = random.real(4, 12);
    const double top = random.chance(0.7) ? -5 : random.real(0, 60);
    const double foot = footRow(random, scene);
    const QColor colour = random.chance(0.3) ? Palette::wood(random) : Palette::metal(random);
    fillRounded(painter, QRectF(x - width / 2, top, width, foot - top), colour, scene);
    const int fitting = random.uniform(0, 3);
    if (fitting == 0) {
        // A round or square traffic sign with a pale rim.
        const double size = random.real(24, 44);
        const double row = random.real(5, 60);
        const bool round = random.chance(0.5);
        const QColor face = Palette::vivid(random);
        const QRectF plate(x - size / 2, row, size, size);
        painter.setBrush(QColor(232, 232, 228));
        round ? painter.drawEllipse(plate) : painter.drawRect(plate);
        painter.setBrush(face);
        const QRectF inside = plate.adjusted(2.5, 2.5, -2.5, -2.5);
        round ? painter.drawEllipse(inside) : painter.drawRect(inside);
        painter.setBrush(Qt::NoBrush);
    } else if (fitting == 1) {
        const double wide = random.real(30, 70);
        const double row = random.real(5, 60);
        const double high = random.real(12, 30);
        painter.fillRect(QRectF(x - wide / 2, row, wide, high), Palette::vivid(random));
    } else if (fitting == 2) {
        painter.fillRect(QRectF(x - width, foot - 8, 2 * width, 8), Palette::scaled(colour, 0.8));
    }
    // Otherwise a bare pole.
}

void drawFoliageBlob(QPainter& painter, Random& random, const QRectF& area, int leaves)
{
    const QColor base = Palette::foliage(random);
    for (int i = 0; i < leaves; ++i) {
        // Leaves inside an ellipse, darker towards its bottom.
        const double angle = random.real(0, 6.283185307179586);
        const double radius = std::sqrt(random.real(0, 1));
        const QPointF centre(area.center().x() + radius * std::cos(angle) * area.width() / 2,
                             area.center().y() + radius * std::sin(angle) * area.height() / 2);
        const double depth = (centre.y() - area.top()) / std::max(area.height(), 1.0);
        const double shade = random.real(0.75, 1.3) * (1.1 - 0.35 * depth);
        const double rx = random.real(2, 6);
        const double ry = random.real(2, 5);
        painter.setBrush(Palette::scaled(base, shade));
        painter.drawEllipse(centre, rx, ry);
    }
    painter.setBrush(Qt::NoBrush);
}

void drawTree(QPainter& painter, Random& random, const Scene& scene, double x)
{
    const double foot = footRow(random, scene);
    const double trunk = random.real(8, 20);
    const QColor bark = Palette::scaled(Palette::wood(random), 0.8);
    QPainterPath stem;
    stem.addPolygon(QPolygonF({QPointF(x - trunk * 0.35, -5), QPointF(x + trunk * 0.35, -5),
                               QPointF(x + trunk * 0.5, foot), QPointF(x - trunk * 0.5, foot)}));
    stem.closeSubpath();
    painter.fillPath(stem, Palette::rounded(bark, x - trunk / 2, x + trunk / 2, scene.light));
    const double crownWidth = random.real(70, 180);
    const double crownBottom = random.real(40, 110);
    drawFoliageBlob(painter, random, QRectF(x - crownWidth / 2, -40, crownWidth, crownBottom + 40),
                    int(crownWidth * (crownBottom + 40) / 9));
}

void drawBush(QPainter& painter, Random& random, const Scene& scene, double x)
{
    const double foot = footRow(random, scene);
    const double width = random.real(40, 150);
    const double height = random.real(30, 110);
    drawFoliageBlob(painter, random, QRectF(x - width / 2, foot - height, width, height + 6),
                    int(width * height / 8));
}

void drawBin(QPainter& painter, Random& random, const Scene& scene, double x)
{
    const double foot = footRow(random, scene);
    const double width = random.real(40, 75);
    const double height = random.real(60, 125);
    const double taper = random.real(0, 0.12) * width;
    const QColor body = random.chance(0.5) ? Palette::metal(random) : Palette::vivid(random);
    QPainterPath shell;
    shell.addPolygon(
        QPolygonF({QPointF(x - width / 2, foot - height), QPointF(x + width / 2, foot - height),
                   QPointF(x + width / 2 - taper, foot), QPointF(x - width / 2 + taper, foot)}));
    shell.closeSubpath();
    painter.fillPath(shell, Palette::rounded(body, x - width / 2, x + width / 2, scene.light));
    // Ribs and a lid.
    const int ribs = random.uniform(0, 4);
    for (int i = 1; i <= ribs; ++i) {
        const double rx = x - width / 2 + width * i / (ribs + 1);
        painter.fillRect(QRectF(rx - 1, foot - height + 8, 2, height - 12),
                         Palette::scaled(body, 0.8));
    }
    painter.fillRect(QRectF(x - width / 2 - 3, foot - height - 7, width + 6, 8),
                     Palette::scaled(body, 0.7));
}

void drawBoxes(QPainter& painter, Random& random, const Scene& scene, double x)
{
    double foot = footRow(random, scene);
    const int count = random.uniform(1, 3);
    double width = random.real(50, 90);
    for (int i = 0; i < count; ++i) {
        const double height = random.real(25, 55);
        const double shift = random.real(-8, 8);
        const QColor card = Palette::jittered(QColor(176, 136, 92), random, 18);
        const QRectF box(x - width / 2 + shift, foot - height, width, height);
        fillRounded(painter, box, card, scene);
        painter.fillRect(QRectF(box.left(), box.top() + 3, box.width(), 5),
                         Palette::scaled(card, 1.15));
        painter.fillRect(QRectF(box.left(), box.top(), box.width(), 2), Palette::scaled(card, 0.7));
        foot -= height;
        width *= random.real(0.7, 1.0);
    }
}

void drawPlantPot(QPainter& painter, Random& random, const Scene& scene, double x)
{
    const double foot = footRow(random, scene);
    const double width = random.real(30, 55);
    const double height = random.real(25, 45);
    const QColor clay = Palette::jittered(QColor(160, 88, 58), random, 20);
    QPainterPath pot;
    pot.addPolygon(
        QPolygonF({QPointF(x - width / 2, foot - height), QPointF(x + width / 2, foot - height),
                   QPointF(x + width * 0.35, foot), QPointF(x - width * 0.35, foot)}));
    pot.closeSubpath();
    painter.fillPath(pot, Palette::rounded(clay, x - width / 2, x + width / 2, scene.light));
    const double plantWidth = random.real(40, 90);
    const double plantHeight = random.real(40, 110);
    drawFoliageBlob(
        painter, random,
        QRectF(x - plantWidth / 2, foot - height - plantHeight, plantWidth, plantHeight + 8),
        int(plantWidth * plantHeight / 9));
}

} // namespace

void drawClutter(QPainter& painter, Random& random, const Scene& scene, Clutter kind, double x)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    switch (kind) {
    case Clutter::Window:
        drawWindow(painter, random, scene, x);
        break;
    case Clutter::Door:
        drawDoor(painter, random, scene, x);
        break;
    case Clutter::Poster:
        drawPoster(painter, random, scene, x);
        break;
    case Clutter::Pillar:
        drawPillar(painter, random, scene, x);
        break;
    case Clutter::Railing:
        drawRailing(painter, random, scene, x);
        break;
    case Clutter::Pole:
        drawPole(painter, random, scene, x);
        break;
    case Clutter::Tree:
        drawTree(painter, random, scene, x);
        break;
    case Clutter::Bush:
        drawBush(painter, random, scene, x);
        break;
    case Clutter::Bin:
        drawBin(painter, random, scene, x);
        break;
    case Clutter::Boxes:
        drawBoxes(painter, random, scene, x);
        break;
    case Clutter::PlantPot:
        drawPlantPot(painter, random, scene, x);
        break;
    }
    painter.restore();
}
