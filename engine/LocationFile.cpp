#include "LocationFile.h"

#include "LineReader.h"
#include "TextLine.h"
#include "Warning.h"

bool readLocations(QIODevice& file, const QString& name, std::vector<Box>& boxes,
                   std::vector<int>* lineNumbers)
{
    LineReader lines(file, name);
    QByteArray line;
    while (lines.next(line)) {
        int v[5];
        switch (readInts(line, v, 5)) {
        case LineStart::Numbers:
            boxes.push_back(Box{v[0], v[1], v[2], v[3], v[4]});
            if (lineNumbers)
                lineNumbers->push_back(lines.lineNumber());
            break;
        case LineStart::Blank:
            break;
        case LineStart::Bad:
            warn(QStringLiteral("warning: %1:%2: expected five integers, line skipped")
                     .arg(name)
                     .arg(lines.lineNumber()));
            break;
        }
    }
    return !lines.failed();
}

QByteArray locationLine(const Box& box)
{
    const char sep[] = "  ";
    return QByteArray::number(box.Num) + sep + QByteArray::number(box.Ymin) + sep +
           QByteArray::number(box.Xmin) + sep + QByteArray::number(box.Ymax) + sep +
           QByteArray::number(box.Xmax) + '\n';
}
