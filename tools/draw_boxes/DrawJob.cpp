#include "DrawJob.h"

#include "BoxDrawing.h"
#include "ContactSheet.h"
#include "FoundImages.h"
#include "ImageLoader.h"
#include "LocationFile.h"
#include "NamesFile.h"
#include "OutputTarget.h"

#include <QDir>
#include <QFile>
#include <QImage>

namespace
{

QString readBoxes(const QString& path, std::vector<Box>& boxes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("can't open the location file %1: %2").arg(path, file.errorString());
    // A file that stops reading halfway would draw only some of its boxes.
    if (!readLocations(file, path, boxes))
        return QStringLiteral("can't read the location file %1").arg(path);
    return QString();
}

QString readNames(const QString& path, std::vector<int>& names)
{
    if (path.isEmpty())
        return QString();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("can't open the names file %1: %2").arg(path, file.errorString());
    NamesReader reader(file, path);
    int Num = 0;
    while (reader.next(Num))
        names.push_back(Num);
    if (reader.failed())
        return QStringLiteral("can't read the names file %1").arg(path);
    return QString();
}

QString imageName(int Num)
{
    return QString::number(Num) + QStringLiteral(".png");
}

// Saves image as a PNG, as writeOutput writes; false with why.
bool savePng(const QImage& image, const QString& path, QString& why)
{
    return writeOutput(
        path, [&](QIODevice& file) { return image.save(&file, "PNG"); }, why);
}

} // namespace

DrawReport drawJob(const DrawRequest& request)
{
    DrawReport report;
    std::vector<Box> boxes;
    std::vector<int> names;
    report.error = readBoxes(request.locations, boxes);
    if (report.error.isEmpty())
        report.error = readNames(request.names, names);
    if (!report.error.isEmpty())
        return report;
    const QDir in(request.imageDir);
    const QDir out(request.outDir);
    if (!out.mkpath(QStringLiteral("."))) {
        report.error = QStringLiteral("can't make the directory %1").arg(request.outDir);
        return report;
    }

    const bool wantSheet = !request.sheet.isEmpty();
    std::vector<Thumbnail> thumbnails;
    for (const FoundImage& found : groupByImage(boxes, names)) {
        const QString source = in.filePath(imageName(found.Num));
        QImage image;
        QString why;
        if (!loadImage(source, image, why)) {
            report.error = QStringLiteral("can't load image %1: %2").arg(source, why);
            return report;
        }
        const bool onSheet =
            request.sheetCount == 0 || static_cast<int>(thumbnails.size()) < request.sheetCount;
        if (wantSheet && onSheet)
            thumbnails.push_back(makeThumbnail(image, found, request.sheetPercent / 100.0));
        drawBoxes(image, found.boxes);
        const QString target = out.filePath(imageName(found.Num));
        if (!savePng(image, target, why)) {
            report.error = QStringLiteral("can't write %1: %2").arg(target, why);
            return report;
        }
        ++report.images;
        report.boxes += static_cast<int>(found.boxes.size());
    }

    if (wantSheet) {
        const QImage sheet = assembleSheet(thumbnails, request.sheetColumns);
        QString why;
        if (sheet.isNull())
            report.error =
                QStringLiteral("no image to put on the contact sheet %1").arg(request.sheet);
        else if (!savePng(sheet, request.sheet, why))
            report.error =
                QStringLiteral("can't write the contact sheet %1: %2").arg(request.sheet, why);
    }
    return report;
}
