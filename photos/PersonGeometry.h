#pragma once

#include "PhotoBox.h"

#include <QRect>
#include <QSize>

// Where a person stands in the 80x200 window: from its top row down, 195
// rows high (up to 200 where a strip's photograph ends below them), and
// kPersonAspect times that wide, centred.
constexpr int kPersonHeight = 195;

// A person's width over their height in the demo's figures: the median over
// 384 generated people (80 percent of them between 0.34 and 0.39).
constexpr double kPersonAspect = 0.365;

// The person that the window with top-left pixel (x, y) of a level of size
// level stands for, in the pixels of a photograph of size photo.
PhotoBox personInWindow(QSize photo, QSize level, int x, int y);

// The window behind a person box that personInWindow gave, in the pixels of
// a photograph of size photo: rounded, inside the photograph and at least
// one pixel each way.
QRect windowAroundPerson(const PhotoBox& person, QSize photo);
