#include "CurvePlot.h"

#include "OutputTarget.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int kPanelWidth = 600;
constexpr int kHeight = 560;
// Room around a panel's plot area for the title, tick labels and axis titles.
const QMargins kMargins(80, 50, 30, 70);

const QColor kCurveColour(31, 90, 170);
const QColor kAreaColour(200, 220, 245);
const QColor kRangeColour(235, 235, 235);
const QColor kGridColour(215, 215, 215);

// One axis: a linear or a log range of values onto a range of pixels.
struct Axis {
    double lo;
    double hi;
    bool log;
    double from; // pixel of lo
    double to;   // pixel of hi

    // Values outside the range are drawn at its ends.
    double pixel(double v) const
    {
        v = std::clamp(v, lo, hi);
        const double t = log ? std::log(v / lo) / std::log(hi / lo) : (v - lo) / (hi - lo);
        return from + t * (to - from);
    }
};

struct Tick {
    double value;
    const char* label;
};

// A panel's frame, grid, tick labels, axis titles and title.
void drawFrame(QPainter& p, const QRect& area, const Axis& x, const Axis& y,
               const std::vector<Tick>& xTicks, const std::vector<Tick>& yTicks,
               const QString& xTitle, const QString& yTitle, const QString& title)
{
    const QFontMetrics metrics(p.font());
    for (const Tick& t : xTicks) {
        const double px = x.pixel(t.value);
        p.setPen(kGridColour);
        p.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(px - 40, area.bottom() + 6, 80, metrics.height()), Qt::AlignCenter,
                   QString::fromLatin1(t.label));
    }
    for (const Tick& t : yTicks) {
        const double py = y.pixel(t.value);
        p.setPen(kGridColour);
        p.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left() - 66, py - metrics.height() / 2.0, 60, metrics.height()),
                   Qt::AlignRight | Qt::AlignVCenter, QString::fromLatin1(t.label));
    }
    p.setPen(Qt::black);
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
    p.drawText(QRect(area.left(), area.bottom() + 8 + metrics.height(), area.width(),
                     metrics.height() + 8),
               Qt::AlignCenter, xTitle);
    p.save();
    p.translate(area.left() - 62, area.center().y());
    p.rotate(-90);
    p.drawText(QRect(-area.height() / 2, -metrics.height() - 4, area.height(), metrics.height()),
               Qt::AlignCenter, yTitle);
    p.restore();
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    p.drawText(QRect(area.left(), area.top() - 40, area.width(), 30), Qt::AlignCenter, title);
    p.restore();
}

// A box of legend lines in the bottom-left corner of area, where both
// curves seldom go, each after a sample of its colour (none when invalid).
void drawLegend(QPainter& p, const QRect& area,
                const std::vector<std::pair<QColor, QString>>& lines)
{
    const QFontMetrics metrics(p.font());
    int width = 0;
    for (const auto& line : lines)
        width = std::max(width, metrics.horizontalAdvance(line.second));
    const int rowHeight = metrics.height() + 4;
    const int height = rowHeight * static_cast<int>(lines.size()) + 8;
    const QRect box(area.left() + 10, area.bottom() - 10 - height, width + 40, height);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(box);
    for (size_t k = 0; k < lines.size(); ++k) {
        const int y = box.top() + 4 + static_cast<int>(k) * rowHeight;
        if (lines[k].first.isValid())
            p.fillRect(QRect(box.left() + 8, y + rowHeight / 2 - 5, 16, 10), lines[k].first);
        p.drawText(QRect(box.left() + 30, y, width + 6, rowHeight),
                   Qt::AlignLeft | Qt::AlignVCenter, lines[k].second);
    }
}

// Appends point to a polyline unless it is within a fraction of a pixel of
// the last one: a million detections need not be a million segments.
void addPoint(QPolygonF& line, const QPointF& point)
{
    if (line.isEmpty() || std::fabs(line.back().x() - point.x()) >= 0.25 ||
        std::fabs(line.back().y() - point.y()) >= 0.25)
        line.append(point);
}

void drawPrecisionRecall(QPainter& p, const QRect& area, const Evaluation& e)
{
    const Axis x{0, 1, false, double(area.left()), double(area.right())};
    const Axis y{0, 1, false, double(area.bottom()), double(area.top())};
    // The average precision is the area under the interpolated steps.
    QPolygonF steps;
    steps.append(QPointF(x.pixel(0), y.pixel(0)));
    double recall = 0;
    for (const RecallStep& s : precisionSteps(e.curve)) {
        steps.append(QPointF(x.pixel(recall), y.pixel(s.precision)));
        steps.append(QPointF(x.pixel(s.recall), y.pixel(s.precision)));
        recall = s.recall;
    }
    steps.append(QPointF(x.pixel(recall), y.pixel(0)));
    p.setPen(Qt::NoPen);
    p.setBrush(kAreaColour);
    p.drawPolygon(steps);

    const std::vector<Tick> ticks = {{0, "0"},     {0.2, "0.2"}, {0.4, "0.4"},
                                     {0.6, "0.6"}, {0.8, "0.8"}, {1, "1"}};
    drawFrame(p, area, x, y, ticks, ticks, QStringLiteral("recall"), QStringLiteral("precision"),
              QStringLiteral("Precision against recall"));

    QPolygonF line;
    for (const CurvePoint& c : e.curve) {
        if (c.at.outcome != Outcome::Ignored)
            addPoint(line, QPointF(x.pixel(c.recall), y.pixel(c.precision)));
    }
    p.setPen(QPen(kCurveColour, 2));
    p.drawPolyline(line);
    drawLegend(p, area,
               {{kCurveColour, QStringLiteral("precision")},
                {kAreaColour, QStringLiteral("AP = %1 (shaded)").arg(e.ap, 0, 'f', 4)},
                {QColor(), QStringLiteral("11-point AP = %1").arg(e.ap11, 0, 'f', 4)}});
}

void drawMissRate(QPainter& p, const QRect& area, const Evaluation& e)
{
    const Axis x{1e-3, 10, true, double(area.left()), double(area.right())};
    const Axis y{1e-2, 1, true, double(area.bottom()), double(area.top())};
    // The range the log-average takes its reference rates from.
    p.fillRect(QRectF(QPointF(x.pixel(1e-2), area.top()), QPointF(x.pixel(1), area.bottom())),
               kRangeColour);
    drawFrame(p, area, x, y, {{1e-3, "0.001"}, {1e-2, "0.01"}, {1e-1, "0.1"}, {1, "1"}, {10, "10"}},
              {{0.01, "0.01"},
               {0.02, "0.02"},
               {0.05, "0.05"},
               {0.1, "0.1"},
               {0.2, "0.2"},
               {0.5, "0.5"},
               {1, "1"}},
              QStringLiteral("false positives per image"), QStringLiteral("miss rate"),
              QStringLiteral("Miss rate against false positives per image"));

    // From no detection at all, miss rate 1; each false positive moves
    // right, each true positive down.
    QPolygonF line;
    addPoint(line, QPointF(x.pixel(0), y.pixel(1)));
    for (const CurvePoint& c : e.curve)
        addPoint(line, QPointF(x.pixel(c.fppi), y.pixel(c.missRate)));
    p.save();
    p.setClipRect(area);
    p.setPen(QPen(kCurveColour, 2));
    p.drawPolyline(line);
    p.restore();
    // Whole circles, also on the frame, where a miss rate below the axis sits.
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    const std::array<double, kMissRatePoints> refs = missRateReferences();
    for (int k = 0; k < kMissRatePoints; ++k)
        p.drawEllipse(QPointF(x.pixel(refs[k]), y.pixel(e.missRates[k])), 4, 4);
    drawLegend(p, area,
               {{kCurveColour, QStringLiteral("miss rate")},
                {kRangeColour,
                 QStringLiteral("log-average miss rate = %1").arg(e.logAverageMissRate, 0, 'f', 4)},
                {QColor(), QStringLiteral("(mean of the 9 circles)")}});
}

} // namespace

QImage plotCurves(const Evaluation& e)
{
    QImage image(2 * kPanelWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(14);
    p.setFont(font);
    const QRect panel(0, 0, kPanelWidth, kHeight);
    drawPrecisionRecall(p, panel.marginsRemoved(kMargins), e);
    drawMissRate(p, panel.translated(kPanelWidth, 0).marginsRemoved(kMargins), e);
    return image;
}

bool writePlot(const QString& path, const Evaluation& e, QString& error)
{
    const QImage plot = plotCurves(e);
    if (!writeOutput(
            path, [&](QIODevice& file) { return plot.save(&file, "PNG"); }, error)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, error);
        return false;
    }
    return true;
}
