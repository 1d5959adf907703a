#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <linear.h>

class QFile;

// Image number of a directory: dir/N.png (dir\N.png on Windows), N in full
// decimal, sign included.
QString imagePath(const QString& dir, int number);

// What the search of one image file found.
struct SearchedImage {
    QImage image;     // with its boxes drawn; null when the file did not load
    QByteArray lines; // one location line per accepted window, left to right
    bool ok = false;  // false when the image could not be loaded or searched
};

// Slides the 80x200 window along the top edge of image in steps of 5
// columns while it ends before the right edge, and draws each window that
// classifier accepts into the image before the next is described, so that
// its outline counts in the windows that overlap it. Requires a 32-bit image
// at least 200 rows high and a model that the model file check let through.
// Returns the location lines of the accepted windows with image number
// number.
QByteArray searchImage(QImage& image, const model& classifier, int number);

// Loads the image file at path and searches it as image number. An image
// that does not load, or does not fit in memory, is reported on standard
// error; one lower than the window is reported and has no lines. Safe on several
// threads at once with the same classifier.
SearchedImage searchImageFile(const QString& path, const model& classifier, int number);

// Appends lines to the open output and flushes them, so that a killed run
// leaves whole lines. False, reported with the output's name, when they
// could not all be written.
bool writeLines(QFile& output, const QByteArray& lines);
