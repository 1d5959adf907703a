#pragma once

#include "StripGeometry.h"

#include <QSize>

#include <vector>

// Ombrec t takes, beside each box of a strip and in the box's rows, a
// background window at every kBackgroundStep-th column m from 0 with
// m < width - 80, except those from kBackgroundSkipBefore columns before the
// box's left edge to kBackgroundSkipAfter columns before its right edge:
// they overlap the box by more than 19 columns.
constexpr int kBackgroundStep = 10;
constexpr int kBackgroundSkipBefore = 60;
constexpr int kBackgroundSkipAfter = 20;

// The left columns of the background windows that training takes beside box
// in a strip stripWidth wide, in ascending order.
std::vector<int> backgroundColumns(int stripWidth, const StripBox& box);

// Plans a training strip of people[person], mirrored or not: the strip of
// planPersonStrip with the person's window as its one box, trimmed at either
// side until no background window that training takes beside that box meets
// another person whose box reaches into the window's rows. Other people get
// no box: they have strips of their own, at their own scale. The trimmed
// strip is at least the window wide; it gives no background window at all
// on a side where another person reaches into the person's window.
// Requires what planPersonStrip requires.
StripPlan planTrainingStrip(QSize photoSize, const std::vector<PersonBox>& people, int person,
                            int maxWidth, bool mirrored);
