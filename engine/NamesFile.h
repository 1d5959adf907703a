#pragma once

#include "LineReader.h"

#include <QString>

class QIODevice;

// Reads the image numbers of an open names file one at a time, so that a
// search that stops early reads no further. A number is read as "%d" reads
// it: leading white space skipped, text after it ignored. Blank lines give
// nothing; a line without a number that fits an int gives nothing and is
// reported on standard error with the file's name and the line number.
class NamesReader
{
public:
    // What one step of the reading found.
    enum class Step { Number, SkippedLine, End };

    NamesReader(QIODevice& file, const QString& name);

    // Sets number to the next image number; false at the end of the file
    // or when the reading failed.
    bool next(int& number);
    // Reads up to the next number or skipped line, whichever comes first,
    // so that a file of bad lines is reported one line at a time; End at
    // the end of the file or when the reading failed.
    Step step(int& number);
    // Whether the reading stopped at a read error (reported) instead of the
    // end of the file.
    bool failed() const { return lines.failed(); }

private:
    LineReader lines;
};
