#include "NamesFile.h"

#include "TextLine.h"
#include "Warning.h"

#include <QIODevice>

NamesReader::NamesReader(QIODevice& file, const QString& name) : file(file), name(name) {}

bool NamesReader::next(int& number)
{
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (line.isEmpty())
            return false; // a read error
        ++lineNumber;
        switch (readInts(line, &number, 1)) {
        case LineStart::Numbers:
            return true;
        case LineStart::Blank:
            break;
        case LineStart::Bad:
            warn(QStringLiteral("warning: %1:%2: expected an image number, line skipped")
                     .arg(name)
                     .arg(lineNumber));
            break;
        }
    }
    return false;
}
