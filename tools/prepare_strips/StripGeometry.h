#pragma once

#include "Annotation.h"
#include "PersonGeometry.h"
#include "Window.h"

#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

// Training takes background windows at columns 0, 10, 20, ... that end
// inside the strip, but none that starts within 60 columns of the person's
// window. The first, at column 0, clears only a window that starts at
// column 61 or later: a narrower strip gives training no background window,
// wherever its person stands.
constexpr int kLeastStripWidth = kWindowWidth + 61;
// A strip is 200 to 240 rows high: the window's rows and some ground below.
constexpr int kStripMaxHeight = 240;
// A box of a location line, in strip pixels with exclusive maxima.
struct StripBox {
    int Ymin = 0;
    int Xmin = 0;
    int Ymax = 0;
    int Xmax = 0;
};

// How one strip comes out of its photograph: the part of the photograph it
// shows, scaled to size (and trimLeft + trimRight columns wider, which are
// then cut off at either side), and the window of every person that lies
// wholly in its top 200 rows. An empty why means the strip can be cut;
// otherwise why says why not, and nothing else is set.
struct StripPlan {
    QRect source;
    QSize size;
    int trimLeft = 0;
    int trimRight = 0;
    bool mirrored = false;
    std::vector<StripBox> boxes;
    QString why;
};

// Plans the strip of people[person] in a photograph of photoSize. The
// photograph is scaled so that the person is 195 to 200 rows high and at
// least 200 rows lie from the top of the person's box to the bottom of the
// photograph; row 0 of the strip is the top of the box. The strip is at most
// maxWidth wide, centred on the person where the photograph allows, and
// narrowed so that no other person reaches into its top 200 rows beside the
// person's window: training takes its background windows from there.
// The person's own box is the window, 80 x 200, centred on the person; so is
// the box of any other person wholly inside the top 200 rows.
// Requires: every box non-empty and inside the photograph; maxWidth >= 80.
StripPlan planPersonStrip(QSize photoSize, const std::vector<PersonBox>& people, int person,
                          int maxWidth);

// The part of the photograph behind box, a box of the strip, to the nearest
// pixel.
QRect photoPart(const StripPlan& plan, const StripBox& box);

// The part of the photograph that the whole strip shows.
QRect shownPart(const StripPlan& plan);

// The same strip mirrored left to right: a box from Xmin to Xmax becomes
// one from width - Xmax to width - Xmin.
StripPlan mirrorPlan(const StripPlan& plan);
