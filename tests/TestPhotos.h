#pragma once

#include "Figure.h"

#include <QString>

#include <cstdint>
#include <vector>

// A person in a test photograph: the exact extent of the figure, columns
// xmin to xmax - 1 and rows ymin to ymax - 1.
struct PhotoPerson {
    int xmin = 0;
    int ymin = 0;
    int xmax = 0;
    int ymax = 0;
};

// A photograph as written: its file name in the directory, its size and the
// people in it, from left to right.
struct TestPhoto {
    QString name;
    int width = 0;
    int height = 0;
    std::vector<PhotoPerson> people;
};

struct TestPhotoOptions {
    std::uint32_t seed = 1;
    int count = 12;
    int minWidth = 360;
    int maxWidth = 900;
    int minHeight = 300;
    int maxHeight = 800;
    // Never taller than the photograph, whatever the limits say.
    int minPersonHeight = 110;
    int maxPersonHeight = 400;
    // Fewer when they do not fit side by side.
    int maxPeople = 3;
    // Least number of columns between two people's boxes.
    int minGap = 40;
    // Chance of a photograph without people.
    double emptyShare = 0;
    // Photograph 0's first person stands in the bottom-left corner, the box
    // touching the left and bottom edges, so that strips must be clamped.
    bool personInCorner = false;
};

// Draws options.count photographs into dir, "photo-0.jpg", "photo-1.png", ...
// (JPEG and PNG in turn): a street or a room with clutter, people standing
// side by side on its ground, and the camera's blur and noise over all.
// Within a photograph people are of similar height, which varies between
// photographs; their feet stand a little below where the wall meets the
// ground, as in the demo strips. The same options give the same files.
// Returns the photographs in order; nothing when a file cannot be written.
std::vector<TestPhoto> writeTestPhotos(const QString& dir, const TestPhotoOptions& options);

// Streets and rooms without people, "empty-0.jpg", "empty-1.png", ...
std::vector<TestPhoto> writeEmptyPhotos(const QString& dir, int count, std::uint32_t seed);

// Writes "photo,xmin,ymin,xmax,ymax" and a row per person, 0-based with
// exclusive maxima. Photographs without people have no row.
bool writeCsvAnnotations(const QString& path, const std::vector<TestPhoto>& photos);

// Writes a Pascal VOC file per photograph into dir, named after it with
// ".xml": an <object> per person, boxes 1-based with inclusive maxima.
bool writeVocAnnotations(const QString& dir, const std::vector<TestPhoto>& photos);

// A figure as the photographs draw it, and the box of the pixels it paints.
struct PhotoFigure {
    FigureLook look;
    PhotoPerson box;
};

// The figure scaled to paint height rows, keeping its pose, proportions,
// clothes and light; the box is measured, so it is exact to the pixel.
// Draw it with the painter translated to put box where the person goes.
PhotoFigure figureOfHeight(const FigureLook& look, int height);
