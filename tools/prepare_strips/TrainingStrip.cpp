#include "TrainingStrip.h"

#include <cmath>

namespace
{

// Columns of a strip from a up to b.
struct Span {
    int a = 0;
    int b = 0;
};

bool meets(const std::vector<Span>& others, Span covered)
{
    if (covered.a >= covered.b)
        return false;
    for (const Span& s : others)
        if (covered.a < s.b && covered.b > s.a)
            return true;
    return false;
}

// The columns that the background windows beside a window at column x
// cover in the strip's columns from left up to right: left of the window,
// then right of it (empty spans where there are none). They are spans since
// the windows, 10 columns apart, overlap.
std::pair<Span, Span> coveredBeside(int x, int left, int right)
{
    const StripBox box{0, x - left, kWindowHeight, x - left + kWindowWidth};
    Span before;
    Span after;
    for (int m : backgroundColumns(right - left, box)) {
        Span& side = m < box.Xmin ? before : after;
        if (side.a == side.b)
            side.a = left + m;
        side.b = left + m + kWindowWidth;
    }
    return {before, after};
}

} // namespace

std::vector<int> backgroundColumns(int stripWidth, const StripBox& box)
{
    std::vector<int> columns;
    for (int m = 0; m < stripWidth - kWindowWidth; m += kBackgroundStep)
        if (m < box.Xmin - kBackgroundSkipBefore || m > box.Xmax - kBackgroundSkipAfter)
            columns.push_back(m);
    return columns;
}

StripPlan planTrainingStrip(QSize photoSize, const std::vector<PersonBox>& people, int person,
                            int maxWidth, bool mirrored)
{
    StripPlan plan = planPersonStrip(photoSize, {people[person]}, 0, maxWidth);
    if (!plan.why.isEmpty())
        return plan;
    if (mirrored)
        plan = mirrorPlan(plan);

    // Every other person in the window's rows, as strip columns; a column
    // that the smooth scaling blends with theirs counts as theirs.
    const PersonBox& p = people[person];
    const QRect& r = plan.source;
    const int width = plan.size.width();
    const double scaleX = double(width) / r.width();
    const double bandBottom = p.ymin + double(kWindowHeight) * r.height() / plan.size.height();
    std::vector<Span> others;
    for (int i = 0; i < static_cast<int>(people.size()); ++i) {
        const PersonBox& q = people[i];
        if (i == person || q.ymax <= p.ymin || q.ymin >= bandBottom)
            continue;
        Span s{static_cast<int>(std::floor((q.xmin - r.x()) * scaleX)) - 1,
               static_cast<int>(std::ceil((q.xmax - r.x()) * scaleX)) + 1};
        if (mirrored)
            s = Span{width - s.b, width - s.a};
        if (s.b > 0 && s.a < width)
            others.push_back(s);
    }

    // The least trim on the left, then on the right: the windows beside the
    // person lie on a grid that starts at the strip's left edge.
    const int x = plan.boxes[0].Xmin;
    int left = 0;
    while (left < x && meets(others, coveredBeside(x, left, width).first))
        ++left;
    int right = width;
    while (right > x + kWindowWidth && meets(others, coveredBeside(x, left, right).second))
        --right;

    plan.size.setWidth(right - left);
    plan.trimLeft += mirrored ? width - right : left;
    plan.trimRight += mirrored ? left : width - right;
    plan.boxes[0].Xmin -= left;
    plan.boxes[0].Xmax -= left;
    return plan;
}
