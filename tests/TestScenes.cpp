#include "TestScenes.h"

#include <QPainter>
#include <QPainterPath>

#include <random>

QImage sceneWithFigures(int width, int height, const std::vector<int>& figureXs, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int v = 170 + static_cast<int>(random() % 40) + x * 20 / width;
            line[x] = qRgb(v, v - 10, v - 25);
        }
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int x0 : figureXs) {
        painter.setBrush(QColor(60, 40, 30));
        painter.drawEllipse(QRectF(x0 + 28, 4, 24, 26)); // head
        QPainterPath body;
        body.moveTo(x0 + 22, 34);
        body.lineTo(x0 + 58, 34);
        body.lineTo(x0 + 66, 110);
        body.lineTo(x0 + 14, 110);
        body.closeSubpath();
        painter.setBrush(QColor(40, 60, 120));
        painter.drawPath(body);
        painter.setBrush(QColor(30, 30, 40));
        QPainterPath legs;
        legs.moveTo(x0 + 20, 108);
        legs.lineTo(x0 + 38, 108);
        legs.lineTo(x0 + 26, 196);
        legs.lineTo(x0 + 10, 196);
        legs.closeSubpath();
        legs.moveTo(x0 + 42, 108);
        legs.lineTo(x0 + 60, 108);
        legs.lineTo(x0 + 70, 196);
        legs.lineTo(x0 + 54, 196);
        legs.closeSubpath();
        painter.drawPath(legs);
    }
    return image;
}

bool savePng(const QImage& image, const QString& path)
{
    return image.save(path, "PNG");
}
