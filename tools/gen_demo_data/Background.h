#pragma once

class QImage;
class Random;
struct ClutterSettings;

// Paints a street or a room over the whole image: a wall, or sky over
// distant buildings; the ground below; and clutter along the strip.
// Requires: a 32-bit image at least 200 rows high.
void drawBackground(QImage& image, Random& random, const ClutterSettings& settings);
