#pragma once

class QPainter;
class QRectF;
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

// Upright things about as tall as a person beside them, for the foreground of
// a photograph: a post, a lamp post, a narrow sign, a tall bin, a coat on a
// stand, a young tree. Their outlines are what a gradient detector may take
// for a person. Draws one, chosen at random, within extent, standing on its
// bottom row; light as in Scene.
void drawLookalike(QPainter& painter, Random& random, const QRectF& extent, double light);

// Things that hide the lower body of a person standing behind them.
enum class Screen {
    Car,
    Wall,
    Table,
    Fence,
    Hedge,
};
constexpr int kScreenKinds = 5;

// Draws the screen over extent, standing on its bottom row. A fence shows
// what is behind it between its boards; the others hide all of it.
void drawScreen(QPainter& painter, Random& random, Screen kind, const QRectF& extent, double light);
