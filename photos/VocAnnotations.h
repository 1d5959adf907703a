#pragma once

#include "Annotation.h"

#include <QString>

#include <vector>

// Reads every "*.xml" file of dir, in the order of their names, as a Pascal
// VOC annotation: the photograph's name from <filename>, and a box from the
// <bndbox> of each <object> whose <name> is "person". VOC boxes count pixels
// from 1 with inclusive maxima; they are converted to 0-based pixels with
// exclusive maxima (xmin - 1, ymin - 1, xmax, ymax). Only the <object>s
// directly under <annotation> count, not the <bndbox> of a <part>. A person
// whose <object> holds <difficult>1</difficult> is marked difficult. A file
// without a person still adds its photograph, with no people; files naming
// the same photograph add to one.
// On success, appends the photographs in the order they are first named (a
// photograph already in photos is added to) and returns true. Otherwise
// returns false with error "FILE:LINE: what is wrong" and leaves photos as
// they were.
bool readVocAnnotations(const QString& dir, std::vector<AnnotatedPhoto>& photos, QString& error);
