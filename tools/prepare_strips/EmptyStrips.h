#pragma once

#include "StripGeometry.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <vector>

// Plans count strips of a photograph without people, named name, for the
// test set. Each strip is scaled as if a person took 30 to 90 percent of the
// photograph's height, so that the background looks as it would beside a
// person; its place in the photograph is drawn from the seed and the name.
// A strip is 200 to 240 rows high and at most maxWidth wide, and holds no
// box. A strip that would be narrower than the window, or that would show
// less than one row of the photograph, has a why instead.
std::vector<StripPlan> planEmptyStrips(QSize photoSize, const QString& name, int count,
                                       int maxWidth, std::uint32_t seed);
