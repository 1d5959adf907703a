#pragma once

#include "Detector.h"

#include <QByteArray>
#include <QString>

struct model;

// A detector file: a few lines that say what the model describes, then the
// LIBLINEAR model in the text that LIBLINEAR's save_model writes (see
// docs/formats.md):
//
//   ombre detector 1
//   descriptor hog
//   window 64 128
//   person XMIN YMIN XMAX YMAX
//   threshold SCORE            (optional)
//   model
//   solver_type L2R_L2LOSS_SVC_DUAL
//   ...
//
// The first line tells a detector file from a plain model file of Ombrec.
bool isDetectorText(const QByteArray& text);

// The detector that text holds. Otherwise false with why saying what is
// wrong and on which line: a header key missing, repeated, unknown or out
// of range, a window that is not a multiple of 8 pixels, a person box not
// inside the window, or a model whose feature count or labels disagree with
// the header (one object label >= 0 and one background label < 0, a bias
// term of 0 or more, finite weights). Reads the text once and never trusts
// a count before checking it.
bool readDetectorText(const QByteArray& text, Detector& detector, QString& why);

// Reads the detector file at path, a regular file of at most a few
// megabytes. Otherwise false with why.
bool readDetectorFile(const QString& path, Detector& detector, QString& why);

// The text of a detector file for m, a two-class model that LIBLINEAR trained
// on hogFeatureCount(detector.hog) features with labels +1 (person) and -1,
// with the header of detector (its weights and bias are not used: the file's
// are m's). Numbers are written in the C locale, whatever the user's.
QByteArray detectorText(const Detector& detector, const model& m);
