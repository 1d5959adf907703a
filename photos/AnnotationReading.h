#pragma once

// What the two annotation readers share.

#include "Annotation.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

// An annotation file larger than this is refused rather than read into memory.
constexpr qint64 kMaxAnnotationBytes = qint64(64) << 20;

// Reads the whole file at path into bytes. Otherwise returns false with error
// "FILE: cannot open: reason", or a like message when it cannot be read or is
// larger than kMaxAnnotationBytes.
bool readAnnotationFile(const QString& path, QByteArray& bytes, QString& error);

// Reads the box coordinate called what from text: a decimal number with
// optional sign, fraction and exponent, rounded to the nearest pixel and at
// most 1e9 either way. Otherwise returns false with problem saying what is
// wrong, e.g. `xmin is not a number: "12a"`.
bool readCoordinate(const QString& text, const QString& what, int& value, QString& problem);

// A row of a CSV file cut at its commas. Only the first fields are kept, so
// that a line of a million commas costs no memory; count counts them all.
struct CsvRow {
    QStringList fields;
    qsizetype count = 0;
};

// Reads one line of a CSV file whose columns are named by columns, e.g.
// "photo,xmin,ymin,xmax,ymax": UTF-8 text cut at the commas outside double
// quotes, into as many fields as there are columns. A quoted field ends on
// its line: photo names hold no line ends, and a stray quote then spoils one
// row, not the file. Returns what is wrong, or an empty text; a blank line
// gives a row without fields.
QString readCsvRow(QByteArrayView raw, const QString& columns, CsvRow& row);

// Whether row names its columns: none of its fields after the first is a
// number.
bool isCsvHeader(const CsvRow& row);

// text as a message quotes it: shortened, control characters as '?'.
QString shownText(const QString& text);

// The photographs a reader collects, found by name through a hash, so that
// a file naming a million photographs stays quick.
class PhotoCollector
{
public:
    // Starts from photos, so that the reader adds to those it names again.
    explicit PhotoCollector(const std::vector<AnnotatedPhoto>& photos);

    // The photograph called name, added (first named at where) when new. The
    // reference is good until the next call.
    AnnotatedPhoto& photo(const QString& name, const QString& where);

    // The photographs, in the order they were first named.
    std::vector<AnnotatedPhoto> take() { return std::move(photos); }

private:
    std::vector<AnnotatedPhoto> photos;
    QHash<QString, size_t> index;
};
