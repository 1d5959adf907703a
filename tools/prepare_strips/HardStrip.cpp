#include "HardStrip.h"

#include "Resampler.h"

#include <QPainter>

QImage cutHardCrop(const QImage& photo, const QRect& window, bool mirrored)
{
    const QImage crop = resampled(photo.copy(window).convertToFormat(QImage::Format_RGB32),
                                  QSize(kWindowWidth, kWindowHeight));
    return mirrored ? crop.mirrored(true, false) : crop;
}

QImage composeHardStrip(const QImage& person, const std::vector<QImage>& crops)
{
    const int end = hardCropColumn(static_cast<int>(crops.size()) - 1) + kWindowWidth;
    QImage strip(end + 1, kWindowHeight, QImage::Format_RGB32);
    if (strip.isNull())
        return strip;
    QPainter painter(&strip);
    painter.drawImage(0, 0, person);
    for (int k = 0; k < static_cast<int>(crops.size()); ++k)
        painter.drawImage(hardCropColumn(k), 0, crops[k]);
    painter.end();
    // The last column repeats the one before: no window of training takes it.
    for (int y = 0; y < kWindowHeight; ++y)
        strip.setPixel(end, y, strip.pixel(end - 1, y));
    return strip;
}
