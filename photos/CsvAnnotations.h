#pragma once

#include "Annotation.h"

#include <QString>

#include <vector>

// Reads boxes from a CSV file of rows "photo,xmin,ymin,xmax,ymax", one person
// a row, boxes in 0-based pixels with exclusive maxima. Only the first
// non-blank row may be a header, and is one when none of its four box fields
// is a number. Fields may be quoted with double quotes ("" for a quote
// inside; a quote must close on its line); blanks around fields, blank
// lines, CRLF line ends and a UTF-8 byte order mark are allowed. Numbers may
// have decimals and are rounded to the nearest pixel; a box must not be
// empty, but may leave the photograph, whose size is not known here.
// On success, appends the photographs in the order of their first row (the
// rows of a photograph already in photos add to it) and returns true.
// Otherwise returns false with error "FILE:LINE: what is wrong" and leaves
// photos as they were.
bool readCsvAnnotations(const QString& path, std::vector<AnnotatedPhoto>& photos, QString& error);
