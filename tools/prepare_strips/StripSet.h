#pragma once

#include "StripGeometry.h"

#include <QFile>
#include <QString>

#include <vector>

class QImage;

// One set of strips as the detector's commands take it: the strips as
// DIR/0.png, DIR/1.png, ..., a location file with their boxes and, for a
// test set, a names file that lists every strip.
class StripSet
{
public:
    // Creates the directory and the files; namesFile may be empty.
    bool open(const QString& dir, const QString& locationFile, const QString& namesFile,
              QString& error);

    // Saves strip under the next number and writes its boxes. Returns the
    // number, or -1 with error set.
    int add(const QImage& strip, const std::vector<StripBox>& boxes, QString& error);

    // Flushes the files and checks that everything reached them.
    bool close(QString& error);

    int strips() const { return next; }
    int boxes() const { return boxCount; }
    int stripsWithoutBoxes() const { return emptyCount; }

private:
    bool write(QFile& file, const QByteArray& text, QString& error);

    QString dir;
    QFile locations;
    QFile names;
    int next = 0;
    int boxCount = 0;
    int emptyCount = 0;
};
