#pragma once

class QPainter;
class Random;

// The strip that clutter is drawn into: its size, the row where the wall
// meets the ground, and the side the light comes from (-1 left to 1 right).
struct Scene {
    int width = 0;
    int height = 0;
    double groundY = 0;
    double light = 0;
};

// Things found beside people in street and room photographs. Many are about
// as wide as a person, or upright like one, so that the detector must learn
// the figure's shape rather than "something tall in the middle".
enum class Clutter {
    Window,
    Door,
    Poster,
    Pillar,
    Railing,
    Pole,
    Tree,
    Bush,
    Bin,
    Boxes,
    PlantPot,
};

// Objects fixed to the wall come first: they are drawn behind the others.
constexpr int kClutterKinds = 11;
constexpr int kWallClutterKinds = 5;

// Draws one object of the kind whose horizontal middle is near column x.
void drawClutter(QPainter& painter, Random& random, const Scene& scene, Clutter kind, double x);
