#include "Painter.h"

#include <QImage>

#include <algorithm>

namespace
{

// Paints the pixels of the row or column segment that lie in the image and
// returns the bounds of those that changed. The segment runs from (x0, y0)
// to (x1, y1) inclusive, either horizontally or vertically.
QRect paintSegment(QImage& image, long long x0, long long y0, long long x1, long long y1)
{
    x0 = std::max(x0, 0LL);
    y0 = std::max(y0, 0LL);
    x1 = std::min(x1, static_cast<long long>(image.width()) - 1);
    y1 = std::min(y1, static_cast<long long>(image.height()) - 1);
    QRect changed;
    for (long long y = y0; y <= y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (long long x = x0; x <= x1; ++x) {
            if (line[x] != kBoxColour) {
                line[x] = kBoxColour;
                changed |= QRect(static_cast<int>(x), static_cast<int>(y), 1, 1);
            }
        }
    }
    return changed;
}

} // namespace

ChangedEdges paintBox(QImage& image, int Ymin, int Xmin, int Ymax, int Xmax)
{
    const long long top = Ymin, left = Xmin, bottom = Ymax, right = Xmax;
    return {paintSegment(image, left + 1, top, right - 2, top),
            paintSegment(image, left + 1, bottom, right - 2, bottom),
            paintSegment(image, left, top, left, bottom - 2),
            paintSegment(image, right, top, right, bottom - 2)};
}
