#pragma once

#include "StripGeometry.h"

#include <QImage>

// Cuts the strip that plan describes out of photo, resamples it as the
// search resamples its levels to the strip's size and mirrors it when the plan says so. The strip is opaque
// 32-bit RGB. A null image means that memory ran out.
QImage cutStrip(const QImage& photo, const StripPlan& plan);
