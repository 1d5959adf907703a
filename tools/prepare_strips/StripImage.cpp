#include "StripImage.h"

#include "Resampler.h"

QImage cutStrip(const QImage& photo, const StripPlan& plan)
{
    // Cut first: scaling only the strip's part keeps a large photograph cheap.
    const QSize scaled(plan.size.width() + plan.trimLeft + plan.trimRight, plan.size.height());
    QImage strip = resampled(photo.copy(plan.source).convertToFormat(QImage::Format_RGB32), scaled);
    if (scaled != plan.size)
        strip = strip.copy(plan.trimLeft, 0, plan.size.width(), plan.size.height());
    if (plan.mirrored)
        strip = strip.mirrored(true, false);
    return strip;
}
