#include "DetectJob.h"

#include "DetectionOutput.h"
#include "HogScan.h"
#include "ImageLoader.h"
#include "OrderedWork.h"
#include "OutputTarget.h"
#include "ThreadCount.h"

#include <QDir>
#include <QFileInfo>

#include <new>
#include <variant>

namespace
{

// A contact sheet of every photograph of a large run would hold them all in
// memory; the first few show how the run went.
constexpr int kSheetPhotos = 48;
constexpr int kSheetColumns = 6;

// What became of one photograph.
struct Outcome {
    QByteArray rows;
    int people = 0;
    bool searched = false;
    bool failed = false;
    QStringList warnings;
    Thumbnail thumbnail; // a null picture when the sheet does not want it
};

// The drawing of a photograph: its name under dir, without the leading "/"
// or any ".." that would take it out of dir.
QString drawingPath(const QString& dir, const QString& name)
{
    QStringList parts;
    for (const QString& part : QDir::fromNativeSeparators(name).split('/', Qt::SkipEmptyParts)) {
        if (part != QLatin1String(".") && part != QLatin1String(".."))
            parts << part;
    }
    return QDir(dir).filePath(parts.join('/'));
}

// Saves the image in format as writeOutput writes, so that a failed save
// leaves no half-written file.
bool saveImage(const QImage& image, const QString& path, const QByteArray& format)
{
    QString why;
    return QDir().mkpath(QFileInfo(path).path()) &&
           writeOutput(
               path, [&](QIODevice& file) { return image.save(&file, format.constData()); }, why);
}

// Searches photographs one after another with the run's model.
using Scanner = std::variant<PhotoScanner, HogScanner>;

Scanner scannerFor(const DetectModel& model, const ScanSettings& settings)
{
    if (const auto* detector = std::get_if<Detector>(&model))
        return Scanner(std::in_place_type<HogScanner>, *detector, settings);
    return Scanner(std::in_place_type<PhotoScanner>, std::get<std::vector<double>>(model),
                   settings);
}

// How many windows the search of a photograph of size photo scores.
long long windowsOf(QSize photo, const DetectModel& model, const ScanSettings& settings)
{
    if (const auto* detector = std::get_if<Detector>(&model))
        return hogWindowCount(photo, *detector, settings);
    return windowCount(photo, settings);
}

std::vector<ScoredBox> scanWith(Scanner& scanner, const QImage& photo)
{
    if (auto* hog = std::get_if<HogScanner>(&scanner)) {
        const std::vector<HogFound> found = hog->scan(photo);
        return std::vector<ScoredBox>(found.begin(), found.end());
    }
    return std::get<PhotoScanner>(scanner).scan(photo);
}

Outcome searchPhoto(const PhotoFile& photo, int index, const DetectOptions& options,
                    const DetectModel& model, Scanner& scanner)
{
    Outcome out;
    QImage image;
    QString why;
    if (!loadImage(photo.path, image, why)) {
        out.warnings
            << QStringLiteral("%1: can't read the photograph: %2; skipped").arg(photo.path, why);
        out.failed = true;
        return out;
    }
    // Counted with the skipped ones, but a photograph, not a fault: the run
    // still ends with exit code 0.
    if (windowsOf(image.size(), model, options.scan) == 0) {
        out.warnings << QStringLiteral("%1: the photograph, %2x%3 pixels, holds the window at "
                                       "no scale for people from %4 pixels high; not searched")
                            .arg(photo.path)
                            .arg(image.width())
                            .arg(image.height())
                            .arg(options.scan.minHeight);
        return out;
    }
    std::vector<ScoredBox> found;
    try {
        found = suppressOverlaps(boxesInside(scanWith(scanner, image), image.size()), options.nms,
                                 options.scoring);
    } catch (const std::bad_alloc&) {
        out.warnings << QStringLiteral("%1: not enough memory to search the photograph; skipped")
                            .arg(photo.path);
        out.failed = true;
        return out;
    }
    out.searched = true;
    const std::vector<Box> boxes = roundedBoxes(found, image.size());
    out.rows = csvRows(photo.name, boxes, found);
    out.people = static_cast<int>(boxes.size());
    // The pictures show the boxes a user would keep; the rows keep them all.
    const DrawnBoxes drawn = boxesToDraw(boxes, found, drawThresholdOf(options, model));
    if (!options.drawDir.isEmpty()) {
        QImage copy = image.convertToFormat(QImage::Format_RGB32);
        drawDetections(copy, drawn.boxes, drawn.found);
        const QString target = drawingPath(options.drawDir, photo.name);
        // In the photograph's own format.
        if (!saveImage(copy, target, QFileInfo(target).suffix().toLower().toLatin1())) {
            out.warnings << QStringLiteral("%1: can't write the drawing").arg(target);
            out.failed = true;
        }
    }
    if (!options.sheet.isEmpty() && index < kSheetPhotos)
        out.thumbnail = detectionThumbnail(image, photo.name, drawn.boxes);
    return out;
}

} // namespace

double drawThresholdOf(const DetectOptions& options, const DetectModel& model)
{
    if (options.drawThreshold)
        return *options.drawThreshold;
    const auto* detector = std::get_if<Detector>(&model);
    return detector && detector->threshold ? *detector->threshold : 0;
}

DetectReport runDetectJob(const DetectOptions& options, const DetectModel& model,
                          const std::vector<PhotoFile>& photos, const DetectSinks& sinks)
{
    DetectReport report;
    const int total = static_cast<int>(photos.size());
    const int threads = options.threads > 0 ? options.threads : threadCount();

    const auto makeWorker = [&] {
        return [&, scanner = scannerFor(model, options.scan)](int index) mutable {
            return searchPhoto(photos[static_cast<size_t>(index)], index, options, model, scanner);
        };
    };
    std::vector<Thumbnail> thumbnails;
    const auto take = [&](int index, Outcome&& outcome) {
        for (const QString& warning : outcome.warnings)
            sinks.warn(warning);
        report.failed = report.failed || outcome.failed;
        (outcome.searched ? report.searched : report.skipped) += 1;
        report.people += outcome.people;
        if (!outcome.thumbnail.picture.isNull())
            thumbnails.push_back(std::move(outcome.thumbnail));
        if (!outcome.rows.isEmpty() && !sinks.rows(outcome.rows)) {
            report.failed = true;
            return false;
        }
        sinks.progress(index + 1, total);
        return true;
    };
    const bool stop = !doInOrder<Outcome>(total, threads, makeWorker, take);

    if (!options.sheet.isEmpty() && !stop) {
        const QImage sheet = assembleSheet(thumbnails, kSheetColumns);
        QString problem;
        if (sheet.isNull())
            problem = QStringLiteral("%1: no photograph to put on the contact sheet");
        else if (!saveImage(sheet, options.sheet, "png"))
            problem = QStringLiteral("%1: can't write the contact sheet");
        if (!problem.isEmpty()) {
            sinks.warn(problem.arg(options.sheet));
            report.failed = true;
        }
    }
    return report;
}
