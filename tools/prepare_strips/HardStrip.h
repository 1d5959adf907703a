#pragma once

#include "StripGeometry.h"

#include <QImage>
#include <QRect>

#include <vector>

// A hard strip shows a person's window at column 0, its box, and up to
// kHardCropsPerStrip hard negatives beside it, each scaled to 80x200, at
// columns 80, 160, 240, ...: training takes a background window at each of
// those (at every tenth column from 70 on, beside this box), and every one
// of its windows lies on the crops but the one at column 70, which keeps 10
// columns of the person. The strip ends a column
// after the last crop, since training takes no window that ends at the
// strip's right edge. Each strip also gives the person's window once more:
// eight crops to a strip keep that to one repeat in nine windows.
constexpr int kHardCropsPerStrip = 8;

// The column of crop k of a hard strip, from 0.
constexpr int hardCropColumn(int k)
{
    return kWindowWidth * (k + 1);
}

// The box of a hard strip: the person's window.
constexpr StripBox kHardStripBox{0, 0, kWindowHeight, kWindowWidth};

// The window of photo, resampled as the search resamples its levels to
// 80x200 and mirrored when asked.
// A null image means that memory ran out.
QImage cutHardCrop(const QImage& photo, const QRect& window, bool mirrored);

// The hard strip of person, an 80x200 window, and crops, 1 to
// kHardCropsPerStrip 80x200 images. A null image means that memory ran out.
QImage composeHardStrip(const QImage& person, const std::vector<QImage>& crops);
