#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;

// One box of a location file: image number, then top row, left column,
// bottom bound and right bound (the bounds are exclusive).
struct Box {
    int Num = 0;
    int Ymin = 0;
    int Xmin = 0;
    int Ymax = 0;
    int Xmax = 0;
};

inline bool operator==(const Box& a, const Box& b)
{
    return a.Num == b.Num && a.Ymin == b.Ymin && a.Xmin == b.Xmin && a.Ymax == b.Ymax &&
           a.Xmax == b.Xmax;
}

// Appends the boxes of an open location file to boxes, one per line, in file
// order. Fields are separated by any white space; CRLF line ends and text
// after the fifth number are accepted. A blank line gives nothing; a line
// that does not begin with five integers that fit an int gives nothing and
// is reported on standard error with the file's name and the line number.
// When lineNumbers is given, it receives the line number of each box.
// Returns false when a read error stopped the reading (reported too).
bool readLocations(QIODevice& file, const QString& name, std::vector<Box>& boxes,
                   std::vector<int>* lineNumbers = nullptr);

// The line written for a found box: "%d  %d  %d  %d  %d" and a line feed.
QByteArray locationLine(const Box& box);
