#pragma once

#include "Annotation.h"

#include <QSize>
#include <QString>

// How much of a right box lies outside its photograph.
enum class BoxOutside {
    Nothing,
    Part,
    Whole,
};

// Where b lies against a photograph of size, whose pixels are the columns 0
// to width - 1 and the rows 0 to height - 1. Requires b to be non-empty.
BoxOutside boxOutside(const PersonBox& b, QSize size);

// "FILE:LINE: the box XMIN,YMIN,XMAX,YMAX leaves the photograph NAME, which
// is W x H pixels", FILE:LINE being b's.
QString boxLeavesPhotoError(const PersonBox& b, const QString& photo, QSize size);
