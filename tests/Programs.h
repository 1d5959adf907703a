#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a finished program printed and returned.
struct RunResult {
    int exitCode = -1;
    bool crashed = false;
    QByteArray out;
    QByteArray err;
};

// The console program under test, as built with the tests.
QString ombrecPath();

// Runs program with args, feeds input on standard input and closes it, and
// waits at most timeoutMs. Extra environment entries are "NAME=value".
// Standard output goes to the file outputFile when one is given.
RunResult runProgram(const QString& program, const QStringList& args, const QByteArray& input,
                     const QStringList& environment = {}, int timeoutMs = 120000,
                     const QString& outputFile = {});
