#pragma once

#include <QRect>
#include <QRgb>

#include <array>

class QImage;

// Opaque green, the colour of a found box.
constexpr QRgb kBoxColour = 0xFF00FF00u;

// The pixels of one box outline that changed colour: one rectangle per edge,
// empty where the edge changed nothing.
using ChangedEdges = std::array<QRect, 4>;

// Draws the outline of the box (Ymin, Xmin, Ymax, Xmax) into a 32-bit image:
// rows Ymin and Ymax from column Xmin+1 to Xmax-2, columns Xmin and Xmax from
// row Ymin to Ymax-2. The corners are left open as the search has always
// drawn them. Pixels outside the image are skipped.
ChangedEdges paintBox(QImage& image, int Ymin, int Xmin, int Ymax, int Xmax);
