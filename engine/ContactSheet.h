#pragma once

#include "FoundImages.h"

#include <QImage>
#include <QString>

#include <vector>

// One image of a contact sheet: a reduced copy with its boxes and a caption.
struct Thumbnail {
    QImage picture;
    QString caption;
};

// Reduces image (without boxes) by scale and draws found's boxes on the
// reduced copy. The caption gives the image number and how many boxes.
Thumbnail makeThumbnail(const QImage& image, const FoundImage& found, double scale);

// Lays the thumbnails out in rows of columns cells, in order, each caption
// under its picture, on a dark ground. Needs a QGuiApplication for the text.
// An empty list gives a null image.
QImage assembleSheet(const std::vector<Thumbnail>& thumbnails, int columns);
