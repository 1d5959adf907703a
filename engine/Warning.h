#pragma once

#include <QByteArray>

class QString;

// Writes one line to standard error. The engine reports why something failed
// here; the user-facing report stays the short one the front end shows.
void warn(const QString& text);

// While one lives, warn() on its thread adds to it instead of writing, so
// that work done in parallel can report in the order of its input: each
// piece of work captures its lines, and the thread that puts the results in
// order passes them to writeWarnings. Captures nest; the innermost keeps.
class WarningCapture
{
public:
    WarningCapture();
    ~WarningCapture();
    WarningCapture(const WarningCapture&) = delete;
    WarningCapture& operator=(const WarningCapture&) = delete;

    // The lines captured so far, each ending in a newline; keeps none.
    QByteArray take();

private:
    QByteArray lines;
    QByteArray* outer;
};

// Writes lines that a WarningCapture took to standard error, as warn() would
// have (or to the capture of this thread, if there is one).
void writeWarnings(const QByteArray& lines);
