#include "NamesFile.h"

#include "TextLine.h"
#include "Warning.h"

NamesReader::NamesReader(QIODevice& file, const QString& name) : lines(file, name) {}

bool NamesReader::next(int& number)
{
    for (;;) {
        switch (step(number)) {
        case Step::Number:
            return true;
        case Step::SkippedLine:
            break;
        case Step::End:
            return false;
        }
    }
}

NamesReader::Step NamesReader::step(int& number)
{
    QByteArray line;
    while (lines.next(line)) {
        switch (readInts(line, &number, 1)) {
        case LineStart::Numbers:
            return Step::Number;
        case LineStart::Blank:
            break;
        case LineStart::Bad:
            warn(QStringLiteral("warning: %1:%2: expected an image number, line skipped")
                     .arg(lines.name())
                     .arg(lines.lineNumber()));
            return Step::SkippedLine;
        }
    }
    return Step::End;
}
