#pragma once

#include <QColor>

class QPainter;
class Random;
struct FigureSettings;

// One upright person as the demo draws it: a round head, a neck, slanted
// shoulders, a torso, two arms and two legs, in clothes and light.
struct FigureLook {
    enum class Hair { Short, Long, Cap, Bald };
    enum class Lower { Trousers, Shorts, Skirt };

    // Centre column, top of the head, and size in pixels. The figure stays
    // within the columns centreX - span / 2 to centreX + span / 2 without
    // quite filling them: its shadow is 0.9 span wide and its hands stop a
    // little short of the edges. It takes the rows top to top + height to
    // within a pixel: hair or a cap may start a row above top, and the shadow
    // reaches half a row below the sole.
    double centreX = 0;
    double top = 0;
    double height = 190;
    double span = 75;
    // Above 1 for broad shoulders and hips, below 1 for slim ones.
    double build = 1;

    bool walking = false;
    // 1 when the figure walks to the right, -1 to the left.
    int facing = 1;
    // Distance of each ankle from the centre line, as a share of half the span.
    double stride = 0.25;
    // Reach of the leading and trailing hand, as a share of half the span.
    double leadReach = 0.9;
    double trailReach = 0.9;
    // Side the light comes from (-1 left, 1 right) times its strength.
    double light = 0;

    Hair hairStyle = Hair::Short;
    Lower lowerStyle = Lower::Trousers;
    bool longSleeves = true;
    bool openJacket = false;

    QColor skin;
    QColor hair;
    QColor shirt;
    QColor inner;
    QColor lower;
    QColor shoes;
};

// A figure with random pose, build, clothes and light, centred near centreX.
// Ensures: the figure lies inside the columns centreX - settings.maxWidth / 2
// to centreX + settings.maxWidth / 2
// and the rows 0 to 199, with its head at most settings.maxHeadTop below row 0
// and its soles between settings.highestSole and settings.lowestSole.
FigureLook randomFigure(Random& random, const FigureSettings& settings, double centreX);

// Paints the figure, with soft edges, over what the painter's device holds.
void drawFigure(QPainter& painter, const FigureLook& look);
