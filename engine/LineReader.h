#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Reads the lines of a location or names file one at a time, so that a
// search that stops early reads no further. A read error, or a line longer
// than 1 MiB (a device that never ends a line), ends the reading: it is
// reported on standard error with the file's name and line, and failed()
// says so, so that the command does not pass a partial file off as whole.
class LineReader
{
public:
    LineReader(QIODevice& file, const QString& name);

    // Sets line to the next line, its line end included; false at the end
    // of the file or when the reading failed.
    bool next(QByteArray& line);
    // The number of the line last given, counted from 1.
    int lineNumber() const { return number; }
    const QString& name() const { return fileName; }
    bool failed() const { return broken; }

private:
    QIODevice& file;
    QString fileName;
    QByteArray buffer;
    int number = 0;
    bool broken = false;
};
