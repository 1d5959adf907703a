#pragma once

#include "PrepareOptions.h"

#include <QString>
#include <QStringList>

// What the command line asked for. error is empty when the words made sense.
struct CommandLine {
    PrepareOptions options;
    QString error;
};

// Reads the words after the program's name.
CommandLine parseCommandLine(const QStringList& words);

// The short form, for errors, and the whole help text.
QString usage();
QString helpText();
