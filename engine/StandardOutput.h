#pragma once

class QString;
class QTextStream;

// Whether everything a program wrote to standard output reached it: a full
// disk or a closed descriptor loses what is written there without a word.
// Flushes out, the program's stream on standard output, and the C library's
// buffer under it; false with why when something was lost.
bool standardOutputReached(QTextStream& out, QString& why);
