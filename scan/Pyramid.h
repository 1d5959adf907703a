#pragma once

#include "PersonGeometry.h"
#include "Window.h"

#include <QImage>
#include <QSize>

#include <vector>

// The scales, in ascending order, at which a photograph of size photo is
// searched so that every person from minHeight rows to the photograph's
// height fills a window windowHeight rows high as people fill it in
// training: scaled to personHeight rows (for the 80x200 window, as in
// ombre-prepare's strips: 195 rows, or up to 200 when the photograph ends
// below them). The least scale makes the photograph, a border of border
// pixels above and below it and extra level rows above and below that
// windowHeight rows high (at least one of them the photograph's); the
// greatest makes a person of minHeight rows personHeight rows high; the
// scales between are evenly spaced in ratio, each at most step times the one
// before. Empty when the photograph is lower than minHeight. Requires
// minHeight >= 1 and step > 1.
std::vector<double> levelScales(QSize photo, int minHeight, double step, int border = 0,
                                int extra = 0, int windowHeight = kWindowHeight,
                                double personHeight = kPersonHeight);

// The photograph's size scaled by scale, each side rounded.
QSize levelSize(QSize photo, double scale);

// A border of border photograph pixels in the pixels of the level at scale,
// rounded, and extra level pixels more.
int levelBorder(int border, double scale, int extra = 0);
