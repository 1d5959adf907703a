#include "Detector.h"

#include "PersonGeometry.h"

#include <algorithm>

PhotoBox defaultPersonBox(const HogSettings& settings)
{
    const double w = settings.windowWidth;
    const double h = settings.windowHeight;
    // A window far higher than wide holds at most its own width.
    const double personWidth = std::min(w, kPersonAspect * 0.75 * h);
    const double xmin = (w - personWidth) / 2;
    return PhotoBox{xmin, h / 8, xmin + personWidth, 7 * h / 8};
}
