#include "BoxesInPhoto.h"

#include <algorithm>
#include <cmath>

namespace
{

int rounded(double v, int most)
{
    return static_cast<int>(std::clamp(std::round(v), 0.0, double(most)));
}

} // namespace

std::vector<Box> roundedBoxes(const std::vector<ScoredBox>& found, QSize photo)
{
    std::vector<Box> boxes;
    for (const ScoredBox& d : found) {
        Box box;
        box.Xmin = rounded(d.xmin, photo.width());
        box.Ymin = rounded(d.ymin, photo.height());
        box.Xmax = rounded(d.xmax, photo.width());
        box.Ymax = rounded(d.ymax, photo.height());
        boxes.push_back(box);
    }
    return boxes;
}

std::vector<ScoredBox> boxesInside(std::vector<ScoredBox> found, QSize photo)
{
    found.erase(std::remove_if(found.begin(), found.end(),
                               [&](const ScoredBox& d) {
                                   return rounded(d.xmin, photo.width()) >=
                                              rounded(d.xmax, photo.width()) ||
                                          rounded(d.ymin, photo.height()) >=
                                              rounded(d.ymax, photo.height());
                               }),
                found.end());
    return found;
}
