#pragma once

#include <QImage>

// Test images, all Format_RGB32. The same arguments give the same pixels.

// Every channel of every pixel drawn at random.
QImage randomImage(int w, int h, unsigned seed);

// One colour everywhere.
QImage constantImage(int w, int h, QRgb colour);

// Grey level start + x * stepRight + y * stepDown, modulo 256. For instance
// (0, 1, 1) grows to the right and downward, (199, 1, -1) to the right and
// upward; over 56x200 pixels neither wraps.
QImage greyRampImage(int w, int h, int start, int stepRight, int stepDown);

// A photograph-like scene: smooth colour gradients, filled rectangles and
// ellipses, tall vertical bars with sharp edges, and a little noise.
QImage realLookingImage(int w, int h, unsigned seed);
