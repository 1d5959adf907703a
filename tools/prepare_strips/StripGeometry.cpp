#include "StripGeometry.h"

#include <algorithm>
#include <cmath>

namespace
{

// The window of a person centred at column centre of a strip width wide,
// moved inside the strip when the person stands at its edge.
StripBox windowAt(double centre, int width)
{
    const int left = static_cast<int>(std::lround(centre - kWindowWidth / 2.0));
    StripBox box;
    box.Xmin = std::clamp(left, 0, width - kWindowWidth);
    box.Xmax = box.Xmin + kWindowWidth;
    box.Ymin = 0;
    box.Ymax = kWindowHeight;
    return box;
}

} // namespace

StripPlan planPersonStrip(QSize photoSize, const std::vector<PersonBox>& people, int person,
                          int maxWidth)
{
    const PersonBox& p = people[person];
    const int W = photoSize.width();
    const int H = photoSize.height();
    const int below = H - p.ymin; // photo rows from the top of the box down
    const int height = p.ymax - p.ymin;

    // 195 rows for the person, unless the photograph ends too soon below
    // them: then larger, so that the window's 200 rows are there. Since the
    // box lies inside the photograph, that never takes the person past 200.
    const double scale = std::max(double(kPersonHeight) / height, double(kWindowHeight) / below);

    // Rows: from the top of the box, as many as make 240 strip rows.
    const int rows = std::min(below, static_cast<int>(std::floor(kStripMaxHeight / scale)));
    const int stripHeight =
        std::clamp(static_cast<int>(std::lround(rows * scale)), kWindowHeight, kStripMaxHeight);

    // Columns: centred on the person, as many as make maxWidth strip columns,
    // inside the photograph.
    const double centre = (p.xmin + p.xmax) / 2.0;
    const int columns = std::max(1, static_cast<int>(std::floor(maxWidth / scale)));
    int left = 0;
    int right = W;
    if (columns < W) {
        left = std::clamp(static_cast<int>(std::lround(centre - columns / 2.0)), 0, W - columns);
        right = left + columns;
    }

    // Keep other people out of the window's rows beside the window.
    const double bandBottom = p.ymin + kWindowHeight / scale;
    const double windowLeft = centre - kWindowWidth / 2.0 / scale;
    const double windowRight = centre + kWindowWidth / 2.0 / scale;
    for (int i = 0; i < static_cast<int>(people.size()); ++i) {
        const PersonBox& q = people[i];
        if (i == person || q.ymin >= bandBottom || q.ymax <= p.ymin)
            continue;
        if (q.xmax <= windowLeft)
            left = std::max(left, q.xmax);
        else if (q.xmin >= windowRight)
            right = std::min(right, q.xmin);
    }

    StripPlan plan;
    const int stripWidth = static_cast<int>(std::lround((right - left) * scale));
    if (stripWidth < kWindowWidth) {
        plan.why = QStringLiteral("the strip would be %1 columns wide, less than the window's %2")
                       .arg(stripWidth)
                       .arg(kWindowWidth);
        return plan;
    }
    plan.source = QRect(left, p.ymin, right - left, rows);
    plan.size = QSize(stripWidth, stripHeight);

    // The scale of each axis after rounding the strip's size.
    const double scaleX = double(stripWidth) / (right - left);
    const double scaleY = double(stripHeight) / rows;
    for (int i = 0; i < static_cast<int>(people.size()); ++i) {
        const PersonBox& q = people[i];
        const bool inside = q.xmin >= left && q.xmax <= right && q.ymin >= p.ymin &&
                            (q.ymax - p.ymin) * scaleY <= kWindowHeight + 1e-9;
        if (i == person || inside)
            plan.boxes.push_back(windowAt(((q.xmin + q.xmax) / 2.0 - left) * scaleX, stripWidth));
    }
    std::sort(plan.boxes.begin(), plan.boxes.end(),
              [](const StripBox& a, const StripBox& b) { return a.Xmin < b.Xmin; });
    return plan;
}

QRect photoPart(const StripPlan& plan, const StripBox& box)
{
    const QRect& r = plan.source;
    const int width = plan.size.width();
    // The box's columns in the scaled part before it is trimmed and mirrored.
    const int from = plan.trimLeft + (plan.mirrored ? width - box.Xmax : box.Xmin);
    const int to = plan.trimLeft + (plan.mirrored ? width - box.Xmin : box.Xmax);
    const double perColumn = double(r.width()) / (width + plan.trimLeft + plan.trimRight);
    const double perRow = double(r.height()) / plan.size.height();
    const int left = r.x() + static_cast<int>(std::lround(from * perColumn));
    const int right = r.x() + static_cast<int>(std::lround(to * perColumn));
    const int top = r.y() + static_cast<int>(std::lround(box.Ymin * perRow));
    const int bottom = r.y() + static_cast<int>(std::lround(box.Ymax * perRow));
    return QRect(left, top, right - left, bottom - top);
}

QRect shownPart(const StripPlan& plan)
{
    return photoPart(plan, StripBox{0, 0, plan.size.height(), plan.size.width()});
}

StripPlan mirrorPlan(const StripPlan& plan)
{
    StripPlan mirrored = plan;
    mirrored.mirrored = !plan.mirrored;
    const int width = plan.size.width();
    for (StripBox& box : mirrored.boxes) {
        const int Xmin = width - box.Xmax;
        box.Xmax = width - box.Xmin;
        box.Xmin = Xmin;
    }
    std::reverse(mirrored.boxes.begin(), mirrored.boxes.end());
    return mirrored;
}
