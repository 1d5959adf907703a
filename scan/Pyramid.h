#pragma once

#include <QImage>
#include <QSize>

#include <vector>

// The scales, in ascending order, at which a photograph of size photo is
// searched so that every person from minHeight rows to the photograph's
// height fills the 80x200 window as people fill it in ombre-prepare's strips:
// scaled to 195 rows, or up to 200 when the photograph ends below them. The
// least scale makes the photograph and a border of border pixels above and
// below it 200 rows high; the greatest makes a person
// of minHeight rows 195 rows high; the scales between are evenly spaced in
// ratio, each at most step times the one before. Empty when the photograph
// is lower than minHeight. Requires minHeight >= 1 and step > 1.
std::vector<double> levelScales(QSize photo, int minHeight, double step, int border = 0);

// The photograph's size scaled by scale, each side rounded.
QSize levelSize(QSize photo, double scale);

// A border of border photograph pixels in the pixels of the level at scale,
// rounded.
int levelBorder(int border, double scale);
