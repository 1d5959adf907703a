#include "Clutter.h"

#include "Palette.h"
#include "Random.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace
{

void fillRounded(QPainter& painter, const QRectF& box, const QColor& colour, double light)
{
    painter.fillRect(box, Palette::rounded(colour, box.left(), box.right(), light));
}

void fillRounded(QPainter& painter, const QRectF& box, const QColor& colour, const Scene& scene)
{
    fillRounded(painter, box, colour, scene.light);
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

// ---- Lookalikes: extent is the room a person at that depth would take ----

// A post or bollard with a round cap and reflective bands.
void drawPost(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double x = extent.center().x();
    const double width = std::max(3.0, extent.width() * random.real(0.3, 0.6));
    const double cap = 0.4 * width;
    const QColor colour = random.chance(0.5) ? Palette::metal(random) : Palette::wood(random);
    fillRounded(painter, QRectF(x - width / 2, extent.top() + cap, width, extent.height() - cap),
                colour, light);
    painter.setBrush(Palette::scaled(colour, 1.15));
    painter.drawEllipse(QPointF(x, extent.top() + cap), width / 2, cap);
    const int bands = random.uniform(0, 2);
    for (int i = 0; i < bands; ++i) {
        const double row = extent.top() + extent.height() * random.real(0.15, 0.6);
        painter.fillRect(QRectF(x - width / 2, row, width, 0.04 * extent.height()),
                         QColor(232, 232, 228));
    }
}

// A lamp post or a parking meter: a thin pole under a head.
void drawLampPost(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double x = extent.center().x();
    const double pole = std::max(2.0, extent.width() * random.real(0.08, 0.16));
    const double headWidth = extent.width() * random.real(0.45, 0.8);
    const double headHeight = extent.height() * random.real(0.1, 0.2);
    const QColor colour = Palette::metal(random);
    fillRounded(
        painter,
        QRectF(x - pole / 2, extent.top() + headHeight / 2, pole, extent.height() - headHeight / 2),
        colour, light);
    QPainterPath head;
    head.addRoundedRect(QRectF(x - headWidth / 2, extent.top(), headWidth, headHeight),
                        headWidth / 4, headWidth / 4);
    painter.fillPath(head, Palette::rounded(Palette::scaled(colour, 0.9), x - headWidth / 2,
                                            x + headWidth / 2, light));
    painter.fillRect(QRectF(x - 0.3 * headWidth, extent.top() + 0.3 * headHeight, 0.6 * headWidth,
                            0.35 * headHeight),
                     Palette::glass(random));
    painter.fillRect(QRectF(x - 1.5 * pole, extent.bottom() - 0.03 * extent.height(), 3 * pole,
                            0.03 * extent.height()),
                     Palette::scaled(colour, 0.7));
}

// A narrow sign on a post, about where a person's chest would be.
void drawNarrowSign(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double x = extent.center().x();
    const double pole = std::max(2.0, extent.width() * random.real(0.06, 0.12));
    const double top = extent.top() + extent.height() * random.real(0, 0.15);
    const double width = extent.width() * random.real(0.7, 1.0);
    const double board = extent.height() * random.real(0.3, 0.5);
    fillRounded(painter, QRectF(x - pole / 2, top, pole, extent.bottom() - top),
                Palette::metal(random), light);
    const QRectF sheet(x - width / 2, top, width, board);
    const QColor face = random.chance(0.5) ? QColor(235, 232, 222) : Palette::vivid(random);
    painter.fillRect(sheet, face);
    const QColor ink = random.chance(0.5) ? QColor(30, 30, 34) : Palette::vivid(random);
    const int lines = random.uniform(2, 5);
    for (int i = 0; i < lines; ++i) {
        const double row = sheet.top() + board * (i + 0.6) / (lines + 0.5);
        const double length = random.real(0.4, 0.85) * width;
        painter.fillRect(
            QRectF(sheet.left() + 0.08 * width, row, length, std::max(1.5, 0.06 * board)), ink);
    }
}

// A tall bin with a domed lid, shoulders and a head of a kind.
void drawTallBin(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double x = extent.center().x();
    const double width = extent.width() * random.real(0.6, 0.9);
    const double height = extent.height() * random.real(0.55, 0.75);
    const double top = extent.bottom() - height;
    const QColor body = random.chance(0.5) ? Palette::metal(random) : Palette::vivid(random);
    fillRounded(painter, QRectF(x - width / 2, top, width, height), body, light);
    painter.setBrush(Palette::scaled(body, 0.8));
    painter.drawPie(QRectF(x - width / 2, top - 0.3 * width, width, 0.6 * width), 0, 180 * 16);
    painter.fillRect(QRectF(x - 0.3 * width, top + 0.08 * height, 0.6 * width, 0.05 * height),
                     QColor(25, 25, 28));
}

// A coat on a stand, now and then a hat on its top hook: nearly a person.
void drawCoatStand(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double x = extent.center().x();
    const double w = extent.width();
    const double h = extent.height();
    const double pole = std::max(2.0, 0.07 * w);
    const QColor wood = Palette::wood(random);
    fillRounded(painter, QRectF(x - pole / 2, extent.top() + 0.03 * h, pole, 0.97 * h), wood,
                light);
    painter.setPen(QPen(wood, pole, Qt::SolidLine, Qt::RoundCap));
    const QPointF base(x, extent.bottom() - 0.08 * h);
    painter.drawLine(base, QPointF(x - 0.35 * w, extent.bottom() - pole / 2));
    painter.drawLine(base, QPointF(x + 0.35 * w, extent.bottom() - pole / 2));
    painter.setPen(Qt::NoPen);

    const QColor cloth = Palette::clothing(random);
    const double shoulders = extent.top() + 0.1 * h;
    const double hem = extent.top() + h * random.real(0.5, 0.72);
    const double half = w * random.real(0.3, 0.42);
    const double sleeve = 0.35 * half;
    for (const int side : {-1, 1})
        fillRounded(painter,
                    QRectF(x + side * (half + 0.1 * sleeve) - sleeve / 2, shoulders + 0.03 * h,
                           sleeve, 0.33 * h),
                    Palette::scaled(cloth, 0.85), light);
    QPainterPath coat;
    coat.addPolygon(
        QPolygonF({QPointF(x - 0.3 * half, shoulders - 0.02 * h),
                   QPointF(x + 0.3 * half, shoulders - 0.02 * h),
                   QPointF(x + half, shoulders + 0.04 * h), QPointF(x + 1.1 * half, hem),
                   QPointF(x - 1.1 * half, hem), QPointF(x - half, shoulders + 0.04 * h)}));
    coat.closeSubpath();
    painter.fillPath(coat, Palette::rounded(cloth, x - 1.1 * half, x + 1.1 * half, light));
    if (random.chance(0.5)) {
        painter.setBrush(Palette::clothing(random));
        painter.drawEllipse(QPointF(x, extent.top() + 0.045 * h), 0.2 * w, 0.045 * h);
        painter.fillRect(QRectF(x - 0.3 * w, extent.top() + 0.07 * h, 0.6 * w, 0.012 * h),
                         painter.brush());
    }
}

// A young tree: a thin trunk under a narrow crown.
void drawYoungTree(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double x = extent.center().x();
    const double trunk = std::max(3.0, extent.width() * random.real(0.1, 0.18));
    const double crown = extent.height() * random.real(0.4, 0.6);
    const QColor bark = Palette::scaled(Palette::wood(random), 0.8);
    fillRounded(
        painter,
        QRectF(x - trunk / 2, extent.top() + 0.6 * crown, trunk, extent.height() - 0.6 * crown),
        bark, light);
    drawFoliageBlob(painter, random, QRectF(extent.left(), extent.top(), extent.width(), crown),
                    int(extent.width() * crown / 9));
}

// ---- Screens ----

// A car side on, facing either way; the wheels stand on the bottom row.
void drawCar(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double w = extent.width();
    const double h = extent.height();
    const bool rightward = random.chance(0.5);
    // Shares of the length from the front, and of the height from the roof.
    const auto at = [&](double share) {
        return rightward ? extent.right() - share * w : extent.left() + share * w;
    };
    const auto row = [&](double share) { return extent.top() + share * h; };
    const auto part = [&](double front, double back, double top, double bottom) {
        return QRectF(QPointF(at(front), row(top)), QPointF(at(back), row(bottom))).normalized();
    };
    const QColor paint = random.chance(0.3) ? Palette::vivid(random) : Palette::metal(random);
    const QColor glass = Palette::glass(random);

    painter.setBrush(QColor(0, 0, 0, 80));
    painter.drawEllipse(QPointF(extent.center().x(), row(0.98)), 0.5 * w, 0.04 * h);
    QPainterPath body;
    body.addRoundedRect(part(0, 1, 0.38, 0.85), 0.12 * h, 0.12 * h);
    QPainterPath cabin;
    cabin.addPolygon(QPolygonF({QPointF(at(0.2), row(0.42)), QPointF(at(0.34), row(0.02)),
                                QPointF(at(0.72), row(0)), QPointF(at(0.86), row(0.42))}));
    cabin.closeSubpath();
    painter.fillPath(body.united(cabin),
                     Palette::rounded(paint, extent.left(), extent.right(), light));
    QPainterPath windows;
    windows.addPolygon(QPolygonF({QPointF(at(0.25), row(0.38)), QPointF(at(0.36), row(0.07)),
                                  QPointF(at(0.52), row(0.06)), QPointF(at(0.52), row(0.38))}));
    windows.closeSubpath();
    windows.addPolygon(QPolygonF({QPointF(at(0.55), row(0.38)), QPointF(at(0.55), row(0.06)),
                                  QPointF(at(0.7), row(0.06)), QPointF(at(0.81), row(0.38))}));
    windows.closeSubpath();
    painter.fillPath(windows, glass);
    painter.fillRect(part(0.535, 0.545, 0.4, 0.8), Palette::scaled(paint, 0.6));
    painter.fillRect(part(0.6, 0.66, 0.47, 0.5), Palette::scaled(paint, 0.6));
    painter.fillRect(part(0, 0.04, 0.45, 0.55), QColor(240, 232, 200));
    painter.fillRect(part(0.97, 1, 0.45, 0.55), QColor(190, 30, 30));
    for (const double share : {0.18, 0.8}) {
        const QPointF hub(at(share), row(0.82));
        painter.setBrush(Palette::scaled(paint, 0.3));
        painter.drawEllipse(hub, 0.2 * h, 0.2 * h);
        painter.setBrush(QColor(28, 28, 30));
        painter.drawEllipse(hub, 0.18 * h, 0.18 * h);
        painter.setBrush(Palette::scaled(Palette::metal(random), 1.3));
        painter.drawEllipse(hub, 0.09 * h, 0.09 * h);
    }
}

// A low wall of bricks or of concrete slabs, under a coping.
void drawLowWall(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double h = extent.height();
    const QColor stone = Palette::wall(random);
    fillRounded(painter, extent, stone, light);
    if (random.chance(0.5)) {
        const int rows = random.uniform(4, 8);
        const double rowHeight = 0.86 * h / rows;
        const double brickWidth = rowHeight * random.real(2, 3);
        const QColor mortar = Palette::scaled(stone, 1.2);
        const QRectF bricks(extent.left(), extent.top() + 0.14 * h, extent.width(), 0.86 * h);
        painter.fillRect(bricks, mortar);
        painter.setClipRect(bricks);
        for (int r = 0; r < rows; ++r) {
            const double y = bricks.top() + r * rowHeight;
            for (double x = extent.left() - (r % 2) * brickWidth / 2; x < extent.right();
                 x += brickWidth) {
                const QColor tone = Palette::scaled(stone, random.real(0.85, 1.12));
                painter.fillRect(QRectF(x + 1, y + 1, brickWidth - 2, rowHeight - 2), tone);
            }
        }
        painter.setClipping(false);
    } else {
        const double slab = h * random.real(1, 2);
        for (double x = extent.left() + slab; x < extent.right(); x += slab)
            painter.fillRect(QRectF(x, extent.top(), std::max(1.0, 0.015 * h), h),
                             Palette::scaled(stone, 0.75));
    }
    painter.fillRect(QRectF(extent.left(), extent.top(), extent.width(), 0.12 * h),
                     Palette::scaled(stone, 1.15));
    painter.fillRect(QRectF(extent.left(), extent.top() + 0.12 * h, extent.width(), 0.02 * h),
                     Palette::scaled(stone, 0.6));
}

// A table under a cloth that reaches the floor, or a counter with a front.
void drawTable(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double h = extent.height();
    const double slab = 0.07 * h;
    const QColor board = random.chance(0.5) ? Palette::wood(random) : QColor(226, 222, 214);
    if (random.chance(0.5)) {
        const QColor cloth = random.chance(0.5) ? QColor(236, 234, 228) : Palette::clothing(random);
        fillRounded(painter, extent.adjusted(0, 0, 0, -0.02 * h), cloth, light);
        const double fold = extent.width() / random.uniform(3, 8);
        for (double x = extent.left() + fold; x < extent.right() - 1; x += fold)
            painter.fillRect(QRectF(x, extent.top() + slab, std::max(1.0, 0.01 * h), 0.9 * h),
                             Palette::scaled(cloth, 0.85));
        painter.fillRect(QRectF(extent.left(), extent.top(), extent.width(), slab),
                         Palette::scaled(cloth, 1.06));
        return;
    }
    const QColor front = random.chance(0.5) ? Palette::wood(random) : Palette::wall(random);
    const QRectF panel = extent.adjusted(0.02 * extent.width(), slab, -0.02 * extent.width(), 0);
    fillRounded(painter, panel, front, light);
    const double seam = h * random.real(0.5, 1);
    for (double x = panel.left() + seam; x < panel.right() - 1; x += seam)
        painter.fillRect(QRectF(x, panel.top(), std::max(1.0, 0.01 * h), panel.height()),
                         Palette::scaled(front, 0.7));
    painter.fillRect(QRectF(panel.left(), extent.bottom() - 0.06 * h, panel.width(), 0.06 * h),
                     Palette::scaled(front, 0.5));
    fillRounded(painter, QRectF(extent.left(), extent.top(), extent.width(), slab), board, light);
}

// A picket fence: two rails behind boards with gaps between them.
void drawFence(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    const double h = extent.height();
    const QColor paint = random.chance(0.4) ? QColor(232, 230, 222) : Palette::wood(random);
    const double board = std::max(2.0, h * random.real(0.07, 0.12));
    const double gap = board * random.real(0.35, 0.9);
    for (const double rail : {0.22, 0.72})
        painter.fillRect(QRectF(extent.left(), extent.top() + rail * h, extent.width(), 0.07 * h),
                         Palette::scaled(paint, 0.8));
    for (double x = extent.left(); x + board <= extent.right() + 0.5; x += board + gap) {
        QPainterPath picket;
        picket.addPolygon(
            QPolygonF({QPointF(x, extent.top() + 0.6 * board), QPointF(x + board / 2, extent.top()),
                       QPointF(x + board, extent.top() + 0.6 * board),
                       QPointF(x + board, extent.bottom()), QPointF(x, extent.bottom())}));
        picket.closeSubpath();
        painter.fillPath(
            picket, Palette::rounded(Palette::jittered(paint, random, 6), x, x + board, light));
    }
}

// A clipped hedge: a dark body under leaves, darker towards the ground.
void drawHedge(QPainter& painter, Random& random, const QRectF& extent, double)
{
    const double h = extent.height();
    const QColor leaf = Palette::foliage(random);
    QPainterPath body;
    body.addRoundedRect(extent.adjusted(0, 0.05 * h, 0, 0), 0.15 * h, 0.15 * h);
    painter.fillPath(body, Palette::scaled(leaf, 0.55));
    const double size = std::max(2.0, h / 35);
    const int leaves = int(extent.width() * h / (2.5 * size * size));
    for (int i = 0; i < leaves; ++i) {
        const double x = random.real(extent.left() + size, extent.right() - size);
        const double y = random.real(extent.top() + size, extent.bottom() - size / 2);
        const double shade = random.real(0.75, 1.3) * (1.1 - 0.4 * (y - extent.top()) / h);
        const double rx = size * random.real(0.6, 1.4);
        const double ry = size * random.real(0.5, 1.2);
        painter.setBrush(Palette::scaled(leaf, shade));
        painter.drawEllipse(QPointF(x, y), rx, ry);
    }
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

void drawLookalike(QPainter& painter, Random& random, const QRectF& extent, double light)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    switch (random.uniform(0, 5)) {
    case 0:
        drawPost(painter, random, extent, light);
        break;
    case 1:
        drawLampPost(painter, random, extent, light);
        break;
    case 2:
        drawNarrowSign(painter, random, extent, light);
        break;
    case 3:
        drawTallBin(painter, random, extent, light);
        break;
    case 4:
        drawCoatStand(painter, random, extent, light);
        break;
    default:
        drawYoungTree(painter, random, extent, light);
        break;
    }
    painter.restore();
}

void drawScreen(QPainter& painter, Random& random, Screen kind, const QRectF& extent, double light)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    switch (kind) {
    case Screen::Car:
        drawCar(painter, random, extent, light);
        break;
    case Screen::Wall:
        drawLowWall(painter, random, extent, light);
        break;
    case Screen::Table:
        drawTable(painter, random, extent, light);
        break;
    case Screen::Fence:
        drawFence(painter, random, extent, light);
        break;
    case Screen::Hedge:
        drawHedge(painter, random, extent, light);
        break;
    }
    painter.restore();
}
