#pragma once

#include "DemoSet.h"

#include <QString>
#include <QStringList>

// What the command line asked for. error is empty when the words made sense.
struct CommandLine {
    QString outDir;
    DemoSetOptions options;
    // Above 0: write this many annotated photographs instead of strips.
    int photographs = 0;
    // The photographs in the hard setting (DemoPhotoOptions::hard).
    bool hard = false;
    QString error;
};

// Reads "OUTDIR [--seed N] [--train N] [--test N]" or
// "OUTDIR --photographs N [--hard] [--seed N]" (the words after the program's name).
// Image numbers run from 0 to 999, so each set holds 1 to 1000 strips, and
// there are 1 to 1000 photographs; the seed is any unsigned 32-bit number.
CommandLine parseCommandLine(const QStringList& words);

// The two forms of the command line, for error messages, and the whole help text.
QString usage();
QString helpText();
