#pragma once

#include <QString>

class QTextStream;

// The user's next answer: one word from in, with the white space and blank
// lines before it skipped. Empty only when the input ends first.
QString readAnswer(QTextStream& in);
