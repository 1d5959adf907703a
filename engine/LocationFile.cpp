#include "LocationFile.h"

#include "TextLine.h"
#include "Warning.h"

#include <QIODevice>

std::vector<Box> readLocations(QIODevice& file, const QString& name, std::vector<int>* lineNumbers)
{
    std::vector<Box> boxes;
    for (int lineNumber = 1; !file.atEnd(); ++lineNumber) {
        const QByteArray line = file.readLine();
        if (line.isEmpty())
            break; // a read error
        int v[5];
        switch (readInts(line, v, 5)) {
        case LineStart::Numbers:
            boxes.push_back(Box{v[0], v[1], v[2], v[3], v[4]});
            if (lineNumbers)
                lineNumbers->push_back(lineNumber);
            break;
        case LineStart::Blank:
            break;
        case LineStart::Bad:
            warn(QStringLiteral("warning: %1:%2: expected five integers, line skipped")
                     .arg(name)
                     .arg(lineNumber));
            break;
        }
    }
    return boxes;
}

QByteArray locationLine(const Box& box)
{
    const char sep[] = "  ";
    return QByteArray::number(box.Num) + sep + QByteArray::number(box.Ymin) + sep +
           QByteArray::number(box.Xmin) + sep + QByteArray::number(box.Ymax) + sep +
           QByteArray::number(box.Xmax) + '\n';
}
