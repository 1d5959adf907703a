#pragma once

#include "TrainOptions.h"

#include <QString>
#include <QStringList>

// What the command line asked for. error is empty when the words made sense.
struct TrainCommandLine {
    TrainOptions options;
    QString error;
};

// Reads the words after the program's name ("--help" and "--version" are
// answered before). The output may be none of the inputs, nor lie inside an
// input directory.
TrainCommandLine parseTrainCommandLine(const QStringList& words);

// The short form, for errors, and the whole help text.
QString trainUsage();
QString trainHelpText();
