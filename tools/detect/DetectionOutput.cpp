#include "DetectionOutput.h"

#include "BoxDrawing.h"
#include "Painter.h"

#include <QFont>
#include <QPainter>

#include <algorithm>
#include <charconv>

namespace
{

constexpr int kThumbWidth = 320;
constexpr int kThumbHeight = 240;

QByteArray csvField(const QString& text)
{
    QByteArray field = text.toUtf8();
    if (!field.contains(',') && !field.contains('"') && !field.contains('\n') &&
        !field.contains('\r'))
        return field;
    field.replace('"', "\"\"");
    return '"' + field + '"';
}

QByteArray scoreText(double score)
{
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, score);
    return QByteArray(text, static_cast<int>(written.ptr - text));
}

} // namespace

QByteArray csvHeader()
{
    return "photo,xmin,ymin,xmax,ymax,score\n";
}

QByteArray csvRows(const QString& photo, const std::vector<Box>& boxes,
                   const std::vector<ScoredBox>& found)
{
    const QByteArray name = csvField(photo);
    QByteArray rows;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        rows += name + ',' + QByteArray::number(b.Xmin) + ',' + QByteArray::number(b.Ymin) + ',' +
                QByteArray::number(b.Xmax) + ',' + QByteArray::number(b.Ymax) + ',' +
                scoreText(found[i].score) + '\n';
    }
    return rows;
}

DrawnBoxes boxesToDraw(const std::vector<Box>& boxes, const std::vector<ScoredBox>& found,
                       double least)
{
    DrawnBoxes drawn;
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (found[i].score >= least) {
            drawn.boxes.push_back(boxes[i]);
            drawn.found.push_back(found[i]);
        }
    }
    return drawn;
}

void drawDetections(QImage& image, const std::vector<Box>& boxes,
                    const std::vector<ScoredBox>& found)
{
    drawBoxes(image, boxes);
    QPainter painter(&image);
    QFont font = painter.font();
    const int size = std::max(10, image.height() / 60);
    font.setPixelSize(size);
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(kBoxColour));
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Box& b = boxes[i];
        const int baseline = b.Ymin >= size + 2 ? b.Ymin - 3 : b.Ymin + size + 1;
        painter.drawText(b.Xmin + 2, baseline, QString::number(found[i].score, 'f', 2));
    }
}

Thumbnail detectionThumbnail(const QImage& image, const QString& photo,
                             const std::vector<Box>& boxes)
{
    const double scale =
        std::min({1.0, double(kThumbWidth) / image.width(), double(kThumbHeight) / image.height()});
    Thumbnail thumbnail = makeThumbnail(image, FoundImage{0, boxes}, scale);
    const size_t n = boxes.size();
    thumbnail.caption =
        QStringLiteral("%1: %2 %3").arg(photo).arg(n).arg(n == 1 ? "person" : "people");
    return thumbnail;
}
