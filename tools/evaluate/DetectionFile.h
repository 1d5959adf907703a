#pragma once

#include "MeasuredBoxes.h"
#include "PhotoIndex.h"

#include <QString>

#include <vector>

// Reads the CSV rows "photo,xmin,ymin,xmax,ymax,score" that ombre-detect
// writes. Only the first non-blank row may be a header, and is one when none
// of its five number fields is a number. Fields may be quoted with double
// quotes ("" for a quote inside); blanks around fields, blank lines, CRLF
// line ends and a UTF-8 byte order mark are allowed. Numbers keep their
// decimals; a box must not be empty and the score must be finite. Photograph
// names go through photos; a name that a closed index does not know is an
// error.
// On success, appends the detections in file order and returns true.
// Otherwise returns false with error "FILE:LINE: what is wrong".
bool readDetections(const QString& path, PhotoIndex& photos, std::vector<FoundBox>& detections,
                    QString& error);
