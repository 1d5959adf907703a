#pragma once

#include "DetectOptions.h"

#include <QStringList>

// What the command line asked for. error is empty when the words made sense.
struct DetectCommandLine {
    DetectOptions options;
    QString error;
};

// Reads the words after the program's name: options ("--stride 4" or
// "--stride=4") and the photographs and directories to search.
DetectCommandLine parseDetectCommandLine(const QStringList& words);

// The short form, for errors, and the whole help text.
QString detectUsage();
QString detectHelpText();
