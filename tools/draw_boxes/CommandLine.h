#pragma once

#include "DrawJob.h"

#include <QStringList>

// What the command line asked for. error is empty when the words made sense.
struct CommandLine {
    DrawRequest request;
    QString error;
};

// Reads "IMAGEDIR LOCATIONS OUTDIR [--names FILE] [--sheet FILE] [--columns N]
// [--scale PERCENT] [--first N]" (the words after the program's name).
CommandLine parseCommandLine(const QStringList& words);

// The summary of the command line, for error messages, and the whole help text.
QString usage();
QString helpText();
