#pragma once

#include <QBrush>
#include <QColor>

class Random;

// Colours that look like the things they paint: people's skin and hair,
// clothes, and the surfaces of streets and rooms.
namespace Palette
{

QColor skin(Random& random);
QColor hair(Random& random);
QColor clothing(Random& random);
QColor shoes(Random& random);
QColor wall(Random& random);
QColor ground(Random& random);
QColor foliage(Random& random);
QColor metal(Random& random);
QColor wood(Random& random);
QColor glass(Random& random);
QColor sky(Random& random);
QColor vivid(Random& random);

// The colour made brighter (factor above 1) or darker (below 1).
QColor scaled(const QColor& colour, double factor);

// A brush for a rounded surface spanning the columns left to right: brighter
// towards the light (light -1 from the left, 1 from the right, 0 from the
// front) and a little brighter down the middle.
QBrush rounded(const QColor& colour, double left, double right, double light);

// The colour moved a little at random, so that repeated objects differ.
QColor jittered(const QColor& colour, Random& random, int amount);

} // namespace Palette
