#include "PhotoBox.h"

#include <algorithm>

double area(const PhotoBox& a)
{
    return (a.xmax - a.xmin) * (a.ymax - a.ymin);
}

double intersection(const PhotoBox& a, const PhotoBox& b)
{
    const double w = std::min(a.xmax, b.xmax) - std::max(a.xmin, b.xmin);
    const double h = std::min(a.ymax, b.ymax) - std::max(a.ymin, b.ymin);
    return w > 0 && h > 0 ? w * h : 0.0;
}

double intersectionOverUnion(const PhotoBox& a, const PhotoBox& b)
{
    const double common = intersection(a, b);
    return common > 0 ? common / (area(a) + area(b) - common) : 0.0;
}

bool overlapsMoreThan(const PhotoBox& a, const PhotoBox& b, double most)
{
    const double common = intersection(a, b);
    return common > most * (area(a) + area(b) - common);
}

bool mostlyInside(const PhotoBox& a, const PhotoBox& b)
{
    return intersection(a, b) > kMostlyInside * area(a);
}
