#include "EmptyStrips.h"

#include "PhotoSplit.h"

#include <algorithm>
#include <cmath>

std::vector<StripPlan> planEmptyStrips(QSize photoSize, const QString& name, int count,
                                       int maxWidth, std::uint32_t seed)
{
    const int W = photoSize.width();
    const int H = photoSize.height();
    NameDraws draws(name, seed);
    std::vector<StripPlan> plans;
    for (int k = 0; k < count; ++k) {
        const double share = draws.real(0.3, 0.9);
        // A person of kPersonHeight rows would take share of the height, so
        // the scaled photograph is at least 216 rows high.
        const double scale = kPersonHeight / (share * H);
        const int rows = std::min(H, static_cast<int>(std::floor(kStripMaxHeight / scale)));
        const int columns =
            std::min(W, std::max(1, static_cast<int>(std::floor(maxWidth / scale))));
        StripPlan plan;
        // A photograph a row or two high has no row left at that scale.
        if (rows < 1) {
            plan.why = QStringLiteral("the photograph is %1 x %2 pixels, too low for a strip at a "
                                      "person's scale")
                           .arg(W)
                           .arg(H);
            plans.push_back(plan);
            continue;
        }
        plan.size = QSize(static_cast<int>(std::lround(columns * scale)),
                          std::clamp(static_cast<int>(std::lround(rows * scale)), kWindowHeight,
                                     kStripMaxHeight));
        if (plan.size.width() < kWindowWidth) {
            plan.why = QStringLiteral("the photograph is %1 columns wide at a person's scale, "
                                      "less than the window's %2")
                           .arg(plan.size.width())
                           .arg(kWindowWidth);
            plans.push_back(plan);
            continue;
        }
        const int top = draws.uniform(0, H - rows);
        const int left = draws.uniform(0, W - columns);
        plan.source = QRect(left, top, columns, rows);
        plans.push_back(plan);
    }
    return plans;
}
