#pragma once

#include <QImage>
#include <QString>
#include <linear.h>

#include <functional>

class QFile;
class QIODevice;

// A search of the numbered images of a directory that a names file lists.
struct DirectorySearch {
    QString imageDir; // image N is imagePath(imageDir, N)
    const model* classifier = nullptr;
    QFile* output = nullptr; // open for writing; each image's lines are appended
    int threads = 1;
    // Told each image just before its lines are written: its path, and the
    // image with its boxes drawn (null when it did not load), which it may
    // keep. May be empty.
    std::function<void(const QString& path, QImage& image)> writing;
    // Told after each image's lines are written how many images are done;
    // how many the names file lists is not known before its end. May be
    // empty.
    std::function<void(int done)> progress;
};

// Reads the names file as the search goes and searches its images on
// search.threads threads, with at most two names-file steps per thread (an
// image loaded, or a skipped line's warning) read and not yet written, and
// writes each image's lines as soon as it and every image before it are
// done. The output, the warnings of the names file and of the images, and
// the calls of writing and progress come in names-file order, on the calling
// thread, exactly as one thread gives them. Stops at the first image that
// cannot be searched or whose lines cannot be written: no later image writes
// or reports anything. A read error of the names file is reported after the
// images before it. Returns whether every image was searched and written and
// the names file read to its end.
bool searchDirectory(QIODevice& names, const QString& namesName, const DirectorySearch& search);
