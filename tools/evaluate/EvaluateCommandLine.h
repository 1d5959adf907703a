#pragma once

#include "MatchRule.h"
#include "Matching.h"

#include <QString>
#include <QStringList>

// What an evaluation is asked to do; the defaults are those of the command line.
struct EvaluateOptions {
    // Exactly one of the two sources of the right boxes.
    QString truthCsv;
    QString vocDir;
    QString detections;
    // When given, the photographs searched: its image files.
    QString photosDir;
    // Least intersection over union of a true positive.
    double iou = kDefaultMatchOverlap;
    // Right boxes lower than this many pixels are ignore regions.
    double ignoreBelow = 0;
    MatchRule match = MatchRule::Voc;
    // Outputs, none when empty.
    QString plot;
    QString curve;
};

// What the command line asked for. error is empty when the words made sense.
struct EvaluateCommandLine {
    EvaluateOptions options;
    QString error;
};

// Reads the words after the program's name ("--help" and "--version" are
// answered before). An output that is an input file, or lies inside an
// input directory, is an error: it would wipe it or mix with them.
EvaluateCommandLine parseEvaluateCommandLine(const QStringList& words);

// The short form, for errors, and the whole help text.
QString evaluateUsage();
QString evaluateHelpText();
