#include "ContactSheet.h"

#include "BoxDrawing.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kGap = 8;            // pixels around and between cells
constexpr int kCaptionHeight = 16; // under each picture
const QColor kGround(32, 32, 32);
const QColor kCaptionColour(230, 230, 230);

QString captionText(const FoundImage& found)
{
    const size_t n = found.boxes.size();
    if (n == 0)
        return QStringLiteral("%1: no box").arg(found.Num);
    return QStringLiteral("%1: %2 %3").arg(found.Num).arg(n).arg(n == 1 ? "box" : "boxes");
}

} // namespace

Thumbnail makeThumbnail(const QImage& image, const FoundImage& found, double scale)
{
    const int width = std::max(1, static_cast<int>(std::lround(image.width() * scale)));
    const int height = std::max(1, static_cast<int>(std::lround(image.height() * scale)));
    // Boxes go on after the reduction: a reduced outline would blur away.
    QImage picture = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    drawBoxes(picture, found.boxes, scale);
    return {picture, captionText(found)};
}

QImage assembleSheet(const std::vector<Thumbnail>& thumbnails, int columns)
{
    if (thumbnails.empty())
        return QImage();
    int cellWidth = 0;
    int pictureHeight = 0;
    for (const Thumbnail& t : thumbnails) {
        cellWidth = std::max(cellWidth, t.picture.width());
        pictureHeight = std::max(pictureHeight, t.picture.height());
    }
    const int cellHeight = pictureHeight + kCaptionHeight;
    const int count = static_cast<int>(thumbnails.size());
    columns = std::min(columns, count);
    const int rows = (count + columns - 1) / columns;

    QImage sheet(kGap + columns * (cellWidth + kGap), kGap + rows * (cellHeight + kGap),
                 QImage::Format_RGB32);
    sheet.fill(kGround);
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(kCaptionHeight - 4);
    painter.setFont(font);
    painter.setPen(kCaptionColour);
    for (int i = 0; i < count; ++i) {
        const int left = kGap + (i % columns) * (cellWidth + kGap);
        const int top = kGap + (i / columns) * (cellHeight + kGap);
        painter.drawImage(left, top, thumbnails[i].picture);
        painter.drawText(QRect(left, top + pictureHeight, cellWidth, kCaptionHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, thumbnails[i].caption);
    }
    return sheet;
}
