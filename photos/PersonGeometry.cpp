#include "PersonGeometry.h"

#include "Window.h"

#include <algorithm>
#include <cmath>

PhotoBox personInWindow(QSize photo, QSize level, int x, int y)
{
    const double sx = double(level.width()) / photo.width();
    const double sy = double(level.height()) / photo.height();
    const double centre = x + kWindowWidth / 2.0;
    const double halfWidth = kPersonAspect * kPersonHeight / 2;
    PhotoBox box;
    box.xmin = (centre - halfWidth) / sx;
    box.xmax = (centre + halfWidth) / sx;
    box.ymin = y / sy;
    box.ymax = (y + kPersonHeight) / sy;
    return box;
}

QRect windowAroundPerson(const PhotoBox& person, QSize photo)
{
    const double perRow = (person.ymax - person.ymin) / kPersonHeight;
    const double perColumn = (person.xmax - person.xmin) / (kPersonAspect * kPersonHeight);
    const double centre = (person.xmin + person.xmax) / 2;
    const int left = std::max(0, int(std::lround(centre - kWindowWidth / 2.0 * perColumn)));
    const int right =
        std::min(photo.width(), int(std::lround(centre + kWindowWidth / 2.0 * perColumn)));
    const int top = std::max(0, int(std::lround(person.ymin)));
    const int bottom =
        std::min(photo.height(), int(std::lround(person.ymin + kWindowHeight * perRow)));
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}
