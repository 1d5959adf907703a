#include "HardNegatives.h"

#include "Pyramid.h"
#include "StripGeometry.h"
#include "Suppression.h"

#include <algorithm>
#include <cmath>

namespace
{

// The windows that scanner scores in a photograph of size photo.
long long windowsOf(QSize photo, const ScanSettings& settings)
{
    long long windows = 0;
    for (double scale : levelScales(photo, settings.minHeight, settings.scaleStep)) {
        const QSize size = levelSize(photo, scale);
        if (size.width() >= kWindowWidth && size.height() >= kWindowHeight)
            windows += static_cast<long long>((size.width() - kWindowWidth) / settings.stride + 1) *
                       ((size.height() - kWindowHeight) / settings.stride + 1);
    }
    return windows;
}

// The window behind a person box of personBox: 195 rows of it are the
// person's, kPersonAspect times that their width.
QRect windowOf(const Detection& d, QSize photo)
{
    const double perRow = (d.ymax - d.ymin) / kPersonHeight;
    const double perColumn = (d.xmax - d.xmin) / (kPersonAspect * kPersonHeight);
    const double centre = (d.xmin + d.xmax) / 2;
    const int left = std::max(0, int(std::lround(centre - kWindowWidth / 2.0 * perColumn)));
    const int right =
        std::min(photo.width(), int(std::lround(centre + kWindowWidth / 2.0 * perColumn)));
    const int top = std::max(0, int(std::lround(d.ymin)));
    const int bottom = std::min(photo.height(), int(std::lround(d.ymin + kWindowHeight * perRow)));
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}

} // namespace

std::vector<HardNegative> mineHardNegatives(PhotoScanner& scanner, const ScanSettings& settings,
                                            const QImage& photo,
                                            const std::vector<PersonBox>& people, double nms,
                                            int most, MiningCount& count)
{
    count.searched += windowsOf(photo.size(), settings);
    std::vector<Detection> alarms = scanner.scan(photo);
    alarms.erase(std::remove_if(
                     alarms.begin(), alarms.end(),
                     [&](const Detection& d) {
                         return std::any_of(people.begin(), people.end(), [&](const PersonBox& p) {
                             return intersectionOverUnion(
                                        d, Detection{double(p.xmin), double(p.ymin), double(p.xmax),
                                                     double(p.ymax), 0}) > kMostOverlapWithPeople;
                         });
                     }),
                 alarms.end());
    count.found += static_cast<long long>(alarms.size());
    const std::vector<Detection> distinct =
        suppressOverlaps(std::move(alarms), nms, BoxScoring::Window);
    count.distinct += static_cast<long long>(distinct.size());
    std::vector<HardNegative> kept;
    for (const Detection& d : distinct) {
        if (static_cast<int>(kept.size()) == most)
            break;
        kept.push_back(HardNegative{windowOf(d, photo.size()), d.score});
    }
    count.kept += static_cast<long long>(kept.size());
    return kept;
}
