#include "PrepareJob.h"

#include "CsvAnnotations.h"
#include "EmptyStrips.h"
#include "ImageLoader.h"
#include "PhotoSplit.h"
#include "StagingDir.h"
#include "StripImage.h"
#include "StripSet.h"
#include "VocAnnotations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

#include <set>

namespace
{

// A photograph to cut, with its people (none for a photograph without people).
struct Photo {
    QString name;
    QString path;
    QString where;
    QSize size;
    std::vector<PersonBox> people;
    bool test = false;
};

bool readAnnotations(const PrepareOptions& options, std::vector<Photo>& photos, QString& error)
{
    std::vector<AnnotatedPhoto> annotated;
    const bool read = options.csvFile.isEmpty()
                          ? readVocAnnotations(options.vocDir, annotated, error)
                          : readCsvAnnotations(options.csvFile, annotated, error);
    if (!read)
        return false;
    // One file named two ways ("a.jpg", "./a.jpg") is one photograph, so
    // that the split cannot put it in both sets.
    const QDir dir(options.photosDir);
    QHash<QString, std::size_t> byFile;
    for (AnnotatedPhoto& a : annotated) {
        const QString path = dir.filePath(a.name);
        const QString file = QFileInfo(path).canonicalFilePath();
        const auto found = file.isEmpty() ? byFile.constEnd() : byFile.constFind(file);
        if (found != byFile.constEnd()) {
            std::vector<PersonBox>& people = photos[*found].people;
            people.insert(people.end(), a.people.begin(), a.people.end());
            continue;
        }
        if (!file.isEmpty())
            byFile.insert(file, photos.size());
        photos.push_back(Photo{a.name, path, a.where, QSize(), std::move(a.people)});
    }
    return true;
}

// Adds every image file of dir, in the order of their names, but for those
// already among photos: an annotated photograph keeps its people.
bool listPhotosWithoutPeople(const QString& dir, std::vector<Photo>& photos, QString& error)
{
    const QDir d(dir);
    if (!d.exists()) {
        error = QStringLiteral("%1: no such directory").arg(dir);
        return false;
    }
    std::set<QString> annotated;
    for (const Photo& photo : photos)
        annotated.insert(QFileInfo(photo.path).canonicalFilePath());
    std::set<QString> suffixes;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        suffixes.insert(QString::fromLatin1(format).toLower());
    bool found = false;
    for (const QString& name : d.entryList(QDir::Files, QDir::Name)) {
        if (suffixes.count(QFileInfo(name).suffix().toLower()) == 0)
            continue;
        found = true;
        const QString path = d.filePath(name);
        if (annotated.count(QFileInfo(path).canonicalFilePath()) == 0)
            photos.push_back(Photo{name, path, dir, QSize(), {}});
    }
    if (!found) {
        error = QStringLiteral("%1: no image files").arg(dir);
        return false;
    }
    return true;
}

// Reads the photograph's size from its header and checks its boxes against it.
bool checkPhoto(Photo& photo, QString& error)
{
    if (!QFileInfo(photo.path).isFile()) {
        error = QStringLiteral("%1: no such photograph: %2").arg(photo.where, photo.path);
        return false;
    }
    QImageReader reader(photo.path);
    photo.size = reader.size();
    if (!photo.size.isValid()) {
        QImage image;
        QString why;
        if (!loadImage(photo.path, image, why)) {
            error = QStringLiteral("%1: cannot read %2: %3").arg(photo.where, photo.path, why);
            return false;
        }
        photo.size = image.size();
    }
    for (const PersonBox& b : photo.people) {
        if (b.xmin < 0 || b.ymin < 0 || b.xmax > photo.size.width() ||
            b.ymax > photo.size.height()) {
            error = QStringLiteral("%1: the box %2,%3,%4,%5 leaves the photograph %6, which is "
                                   "%7 x %8 pixels")
                        .arg(b.where)
                        .arg(b.xmin)
                        .arg(b.ymin)
                        .arg(b.xmax)
                        .arg(b.ymax)
                        .arg(photo.name)
                        .arg(photo.size.width())
                        .arg(photo.size.height());
            return false;
        }
    }
    return true;
}

// A CSV field, quoted when it holds a comma, a quote or a line end.
QByteArray csvField(const QString& text)
{
    QByteArray field = text.toUtf8();
    if (!field.contains(',') && !field.contains('"') && !field.contains('\n') &&
        !field.contains('\r'))
        return field;
    return '"' + field.replace("\"", "\"\"") + '"';
}

// The run itself: the sets being written and what is counted.
class Job
{
public:
    Job(const PrepareOptions& options, PrepareReport& report, const PrepareWarning& warning)
        : options(options), report(report), warning(warning)
    {
    }

    bool open(QString& error);
    bool cut(const Photo& photo, QString& error);
    bool finish(QString& error);

private:
    bool addStrip(const Photo& photo, const QImage& image, const StripPlan& plan, QString& error);

    const PrepareOptions& options;
    PrepareReport& report;
    const PrepareWarning& warning;
    StagingDir staging;
    StripSet train;
    StripSet test;
    QFile sources;
};

bool Job::open(QString& error)
{
    if (!staging.open(options.outDir, error))
        return false;
    if (options.mode != PrepareMode::Test &&
        !train.open(staging.filePath("train"), staging.filePath("train.txt"), QString(), error))
        return false;
    if (options.mode != PrepareMode::Train &&
        !test.open(staging.filePath("test"), staging.filePath("test-right.txt"),
                   staging.filePath("test-names.txt"), error))
        return false;
    sources.setFileName(staging.filePath("sources.csv"));
    if (!sources.open(QIODevice::WriteOnly)) {
        error =
            QStringLiteral("cannot create %1: %2").arg(sources.fileName(), sources.errorString());
        return false;
    }
    sources.write("set,strip,photo,left,top,width,height,mirrored\n");
    return true;
}

bool Job::cut(const Photo& photo, QString& error)
{
    QImage image;
    QString why;
    if (!loadImage(photo.path, image, why)) {
        error = QStringLiteral("%1: cannot read %2: %3").arg(photo.where, photo.path, why);
        return false;
    }
    if (image.size() != photo.size) {
        error = QStringLiteral("%1: %2 is %3 x %4 pixels, not the %5 x %6 of its header")
                    .arg(photo.where, photo.path)
                    .arg(image.width())
                    .arg(image.height())
                    .arg(photo.size.width())
                    .arg(photo.size.height());
        return false;
    }
    if (photo.people.empty()) {
        // Only a test set has strips without people: training takes its
        // background from beside the people.
        if (!photo.test)
            return true;
        // A thumbnail or a sliver among the photographs is no reason to stop.
        for (const StripPlan& plan : planEmptyStrips(photo.size, photo.name, options.emptyStrips,
                                                     options.stripWidth, options.seed)) {
            if (plan.why.isEmpty()) {
                if (!addStrip(photo, image, plan, error))
                    return false;
                continue;
            }
            ++report.emptyTooSmall;
            if (warning)
                warning(QStringLiteral("%1: %2; strip skipped").arg(photo.path, plan.why));
        }
        return true;
    }
    for (int i = 0; i < static_cast<int>(photo.people.size()); ++i) {
        const PersonBox& person = photo.people[i];
        if (person.ymax - person.ymin < options.minHeight) {
            ++report.tooSmall;
            continue;
        }
        const StripPlan plan = planPersonStrip(photo.size, photo.people, i, options.stripWidth);
        if (!plan.why.isEmpty()) {
            ++report.tooNarrow;
            continue;
        }
        if (!addStrip(photo, image, plan, error))
            return false;
        if (options.mirror && !photo.test && !addStrip(photo, image, mirrorPlan(plan), error))
            return false;
    }
    return true;
}

bool Job::addStrip(const Photo& photo, const QImage& image, const StripPlan& plan, QString& error)
{
    const QImage strip = cutStrip(image, plan);
    if (strip.isNull()) {
        error = QStringLiteral("not enough memory to cut a strip from %1").arg(photo.path);
        return false;
    }
    StripSet& set = photo.test ? test : train;
    const int number = set.add(strip, plan.boxes, error);
    if (number < 0)
        return false;
    const QRect& r = plan.source;
    const QByteArray line = (photo.test ? "test," : "train,") + QByteArray::number(number) + ',' +
                            csvField(photo.name) + ',' + QByteArray::number(r.x()) + ',' +
                            QByteArray::number(r.y()) + ',' + QByteArray::number(r.width()) + ',' +
                            QByteArray::number(r.height()) + ',' + (plan.mirrored ? "yes" : "no") +
                            '\n';
    if (sources.write(line) != line.size()) {
        error =
            QStringLiteral("cannot write %1: %2").arg(sources.fileName(), sources.errorString());
        return false;
    }
    return true;
}

bool Job::finish(QString& error)
{
    if (!train.close(error) || !test.close(error))
        return false;
    if (!sources.flush()) {
        error =
            QStringLiteral("cannot write %1: %2").arg(sources.fileName(), sources.errorString());
        return false;
    }
    sources.close();
    report.trainStrips = train.strips();
    report.trainBoxes = train.boxes();
    report.testStrips = test.strips();
    report.testBoxes = test.boxes();
    report.testStripsWithoutPeople = test.stripsWithoutBoxes();
    return staging.commit(error);
}

} // namespace

PrepareReport runPrepareJob(const PrepareOptions& options, const PrepareProgress& progress,
                            const PrepareWarning& warning)
{
    PrepareReport report;
    QString& error = report.error;

    // Everything is read and checked before the first file is written.
    std::vector<Photo> photos;
    if (!readAnnotations(options, photos, error))
        return report;
    std::vector<QString> names;
    for (const Photo& photo : photos)
        names.push_back(photo.name);
    if (options.mode != PrepareMode::Train) {
        const std::vector<bool> test = chooseTestPhotos(
            names, options.mode == PrepareMode::Test ? 1.0 : options.testShare, options.seed);
        for (std::size_t i = 0; i < photos.size(); ++i)
            photos[i].test = test[i];
    }
    // Photographs without people serve the test set only.
    if (!options.emptyDir.isEmpty() && options.mode != PrepareMode::Train) {
        const std::size_t first = photos.size();
        if (!listPhotosWithoutPeople(options.emptyDir, photos, error))
            return report;
        for (std::size_t i = first; i < photos.size(); ++i)
            photos[i].test = true;
    }
    for (Photo& photo : photos)
        if (!checkPhoto(photo, error))
            return report;

    Job job(options, report, warning);
    if (!job.open(error))
        return report;
    const int total = static_cast<int>(photos.size());
    for (int i = 0; i < total; ++i) {
        if (!job.cut(photos[i], error))
            return report;
        if (photos[i].test)
            ++report.testPhotos;
        else
            ++report.trainPhotos;
        if (progress)
            progress(i + 1, total);
    }
    job.finish(error);
    return report;
}
