#pragma once

#include <QString>

// What to draw and where.
struct DrawRequest {
    QString imageDir;  // image N is imageDir/N.png
    QString locations; // the boxes to draw
    QString outDir;    // receives N.png for every image drawn
    QString names;     // optional: images to write even without boxes, and their order
    QString sheet;     // optional: the contact sheet's PNG
    int sheetColumns = 4;
    int sheetPercent = 50; // size of the sheet's pictures against the images
    int sheetCount = 0;    // images on the sheet, the first ones; 0 for all
};

// How it went: the images and boxes drawn, or what failed, naming the file.
struct DrawReport {
    int images = 0;
    int boxes = 0;
    QString error; // empty on success
};

// Writes outDir/N.png for every image that has boxes or is named, its boxes
// drawn in the search's green, then the contact sheet when one is asked for.
// Stops at the first image that cannot be loaded or written.
DrawReport drawJob(const DrawRequest& request);
