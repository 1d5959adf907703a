#pragma once

#include "HogSettings.h"

#include <QImage>

#include <vector>

// The block-normalised gradient histogram of one window, written as plainly
// as its definition reads and worked in double: the reference that HogLevel
// is checked against. The window's top-left pixel is (x, y) of level; it and
// the ring of pixels around it that its gradients need are copied out first,
// the level's edge pixels standing for the pixels beyond them. Requires the
// window inside the level.
std::vector<double> referenceBlockHog(const QImage& level, int x, int y,
                                      const HogSettings& settings);
