#include "FoundImages.h"

#include <map>

std::vector<FoundImage> groupByImage(const std::vector<Box>& boxes, const std::vector<int>& names)
{
    std::vector<FoundImage> images;
    std::map<int, size_t> position; // image number -> index in images
    const auto place = [&](int Num) -> FoundImage& {
        const auto [it, added] = position.emplace(Num, images.size());
        if (added)
            images.push_back(FoundImage{Num, {}});
        return images[it->second];
    };
    for (int Num : names)
        place(Num);
    for (const Box& box : boxes)
        place(box.Num).boxes.push_back(box);
    return images;
}
