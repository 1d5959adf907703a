#pragma once

#include "Figure.h"

#include <QString>

#include <cstdint>
#include <vector>

// A person in a demo photograph: the exact extent of the figure, columns
// xmin to xmax - 1 and rows ymin to ymax - 1, as annotators draw a box. A
// person cut off by the photograph's edges has the part of that extent inside
// the photograph; one behind something or someone nearer has the whole of it.
struct PhotoPerson {
    int xmin = 0;
    int ymin = 0;
    int xmax = 0;
    int ymax = 0;
    // Cut off by an edge of the photograph.
    bool truncated = false;
};

// A photograph as written: its file name in the directory, its size and the
// people in it, from left to right.
struct DemoPhoto {
    QString name;
    int width = 0;
    int height = 0;
    std::vector<PhotoPerson> people;
};

struct DemoPhotoOptions {
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
    // The hard setting: people of every height at every depth, nearer ones
    // larger and lower, in overlapping groups, cut off by the edges or behind
    // a car, a wall, a table, a fence or a hedge; person-like posts, signs,
    // bins, coat stands and young trees; dark, bright and hazy scenes
    // (HardPhotoSettings). minGap and personInCorner do not apply.
    bool hard = false;
};

// The hard setting's options: photographs 480 to 1280 x 360 to 960, people
// 60 to 700 high (never taller than the photograph), up to 6 of them.
DemoPhotoOptions hardPhotoOptions(std::uint32_t seed, int count);

// Draws options.count photographs into dir, "photo-0.jpg", "photo-1.png", ...
// (JPEG and PNG in turn): a street or a room with clutter, people standing
// side by side on its ground, and the camera's blur and noise over all.
// Within a photograph people are of similar height, which varies between
// photographs; their feet stand a little below where the wall meets the
// ground, as in the demo strips. The same options give the same files.
// Returns the photographs in order; nothing when a file cannot be written.
std::vector<DemoPhoto> writeDemoPhotos(const QString& dir, const DemoPhotoOptions& options);

// Streets and rooms without people, "empty-0.jpg", "empty-1.png", ...; in
// the hard setting with its lookalikes, screens and light.
std::vector<DemoPhoto> writeEmptyPhotos(const QString& dir, int count, std::uint32_t seed,
                                        bool hard = false);

// Writes "photo,xmin,ymin,xmax,ymax" and a row per person, 0-based with
// exclusive maxima. Photographs without people have no row.
bool writeCsvAnnotations(const QString& path, const std::vector<DemoPhoto>& photos);

// Writes a Pascal VOC file per photograph into dir, named after it with
// ".xml": an <object> per person, boxes 1-based with inclusive maxima.
bool writeVocAnnotations(const QString& dir, const std::vector<DemoPhoto>& photos);

// The photographs for a try of the preparation tool, written under outDir:
//   photos/photo-0.jpg ... with count photographs of people, their boxes in
//   boxes.csv and in voc/photo-0.xml ...;
//   empty/empty-0.jpg ..., a fifth as many (at least one) without people.
struct DemoPhotoSet {
    std::vector<DemoPhoto> photos;
    std::vector<DemoPhoto> empty;
    // Empty on success, otherwise what failed, naming the file or directory.
    QString error;
};

// Refuses an outDir whose photos/, voc/ or empty/ already hold files: the
// tool reads every file of voc/ and empty/, so leftovers of an earlier run
// would join the new set.
DemoPhotoSet writeDemoPhotoSet(const QString& outDir, int count, std::uint32_t seed,
                               bool hard = false);

// A figure as the photographs draw it, and the box of the pixels it paints.
struct PhotoFigure {
    FigureLook look;
    PhotoPerson box;
};

// The figure scaled to paint height rows, keeping its pose, proportions,
// clothes and light; the box is measured, so it is exact to the pixel.
// Draw it with the painter translated to put box where the person goes.
PhotoFigure figureOfHeight(const FigureLook& look, int height);
