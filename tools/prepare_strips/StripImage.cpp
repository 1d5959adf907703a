#include "StripImage.h"

QImage cutStrip(const QImage& photo, const StripPlan& plan)
{
    // Cut first: scaling only the strip's part keeps a large photograph cheap.
    QImage strip = photo.copy(plan.source)
                       .convertToFormat(QImage::Format_RGB32)
                       .scaled(plan.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (plan.mirrored)
        strip = strip.mirrored(true, false);
    return strip;
}
