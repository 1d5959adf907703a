#include "AnswerReader.h"

#include <QTextStream>

QString readAnswer(QTextStream& in)
{
    QString word;
    // Extraction skips white space, so it gives nothing only at the end of
    // the input; a stream that fails otherwise is not asked again.
    do {
        in >> word;
    } while (word.isEmpty() && in.status() == QTextStream::Ok && !in.atEnd());
    return word;
}
