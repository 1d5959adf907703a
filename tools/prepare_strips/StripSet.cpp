#include "StripSet.h"

#include "LocationFile.h"

#include <QDir>
#include <QImage>
#include <QImageWriter>

bool StripSet::open(const QString& imageDir, const QString& locationFile, const QString& namesFile,
                    QString& error)
{
    dir = imageDir;
    if (!QDir().mkpath(dir)) {
        error = QStringLiteral("cannot create the directory %1").arg(dir);
        return false;
    }
    for (auto [file, name] : {std::pair{&locations, locationFile}, std::pair{&names, namesFile}}) {
        if (name.isEmpty())
            continue;
        file->setFileName(name);
        if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            error = QStringLiteral("cannot create %1: %2").arg(name, file->errorString());
            return false;
        }
    }
    return true;
}

int StripSet::add(const QImage& strip, const std::vector<StripBox>& boxes, QString& error)
{
    const int number = next;
    const QString path = QDir(dir).filePath(QStringLiteral("%1.png").arg(number));
    QImageWriter writer(path, "png");
    // zlib's fastest level: on strips with a camera's noise five times
    // quicker than its default, for files about 15 percent larger.
    writer.setQuality(80);
    if (!writer.write(strip)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
        return -1;
    }
    QByteArray lines;
    for (const StripBox& b : boxes)
        lines += locationLine(Box{number, b.Ymin, b.Xmin, b.Ymax, b.Xmax});
    if (!write(locations, lines, error))
        return -1;
    if (names.isOpen() && !write(names, QByteArray::number(number) + '\n', error))
        return -1;
    ++next;
    boxCount += static_cast<int>(boxes.size());
    if (boxes.empty())
        ++emptyCount;
    return number;
}

bool StripSet::write(QFile& file, const QByteArray& text, QString& error)
{
    if (file.write(text) == text.size())
        return true;
    error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
    return false;
}

bool StripSet::close(QString& error)
{
    for (QFile* file : {&locations, &names}) {
        if (!file->isOpen())
            continue;
        if (!file->flush()) {
            error =
                QStringLiteral("cannot write %1: %2").arg(file->fileName(), file->errorString());
            return false;
        }
        file->close();
    }
    return true;
}
