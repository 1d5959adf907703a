#pragma once

#include "BoxesInPhoto.h"
#include "ContactSheet.h"
#include "LocationFile.h"
#include "PhotoScan.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

// The CSV header row, with its line feed.
QByteArray csvHeader();

// One CSV row a box, "photo,xmin,ymin,xmax,ymax,score" and a line feed. The
// name is quoted when it holds a comma, a quote or a line break; the score is
// the shortest decimal that reads back as the same double, in any locale.
QByteArray csvRows(const QString& photo, const std::vector<Box>& boxes,
                   const std::vector<ScoredBox>& found);

// The boxes a picture shows: those of boxes, with found alongside, whose
// score is at least least.
struct DrawnBoxes {
    std::vector<Box> boxes;
    std::vector<ScoredBox> found;
};
DrawnBoxes boxesToDraw(const std::vector<Box>& boxes, const std::vector<ScoredBox>& found,
                       double least);

// Draws each box in the search's green, as ombre-draw-boxes does, with its
// score above its top-left corner (inside the box when there is no room
// above). Needs a QGuiApplication for the text.
void drawDetections(QImage& image, const std::vector<Box>& boxes,
                    const std::vector<ScoredBox>& found);

// The photograph reduced to fit 320 x 240 (never enlarged) with its boxes,
// under the caption "photo: N people".
Thumbnail detectionThumbnail(const QImage& image, const QString& photo,
                             const std::vector<Box>& boxes);
