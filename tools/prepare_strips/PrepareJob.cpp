#include "PrepareJob.h"

#include "BoxOutsidePhoto.h"
#include "Annotations.h"
#include "EmptyStrips.h"
#include "HardNegatives.h"
#include "HardStrip.h"
#include "ImageLoader.h"
#include "ModelFile.h"
#include "PhotoSplit.h"
#include "StagingDir.h"
#include "StripImage.h"
#include "StripSet.h"
#include "Suppression.h"
#include "TrainingStrip.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>

#include <linear.h>

#include <algorithm>
#include <new>
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
    // False for the photographs of --empty.
    bool annotated = true;
};

bool readAnnotations(const PrepareOptions& options, std::vector<Photo>& photos, QString& error)
{
    std::vector<AnnotatedPhoto> annotated;
    if (!readAnnotations(options.csvFile, options.vocDir, annotated, error))
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
            photos.push_back(Photo{name, path, dir, QSize(), {}, false, false});
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
    photo.size = imageHeaderSize(photo.path);
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
        if (boxOutside(b, photo.size) != BoxOutside::Nothing) {
            error = boxLeavesPhotoError(b, photo.name, photo.size);
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

// Loads the photograph, checking it against the size its header gave.
bool loadPhoto(const Photo& photo, QImage& image, QString& error)
{
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
    return true;
}

// A person's window in a training strip, to set hard negatives beside.
struct PersonWindow {
    int strip = 0;
    StripBox box;
    QString photo;
    QRect part;
    bool mirrored = false;
};

// A hard negative cut and waiting for its strip.
struct HardCrop {
    QImage image;
    QString photo;
    QRect window;
    bool mirrored = false;
    double score = 0;
};

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
    // Searches the training photographs with weights and writes the hard
    // strips; call after every cut.
    bool mine(const std::vector<Photo>& photos, const std::vector<double>& weights,
              const PrepareProgress& progress, QString& error);
    bool finish(QString& error);

private:
    bool addStrip(const Photo& photo, const QImage& image, const StripPlan& plan, QString& error);
    bool addHardStrip(QString& error);
    bool writeSource(bool test, int strip, const QString& photo, const QRect& part, bool mirrored,
                     int column, const QByteArray& score, QString& error);

    const PrepareOptions& options;
    PrepareReport& report;
    const PrepareWarning& warning;
    StagingDir staging;
    StripSet train;
    StripSet test;
    QFile sources;
    std::vector<PersonWindow> personWindows;
    std::vector<HardCrop> crops;
};

bool Job::open(QString& error)
{
    const QStringList removed = removeAbandonedStaging(options.outDir);
    if (!removed.isEmpty() && warning)
        warning(QStringLiteral("removed what stopped runs left behind: %1")
                    .arg(removed.join(QStringLiteral(", "))));
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
    sources.write("set,strip,photo,left,top,width,height,mirrored,column,score\n");
    return true;
}

bool Job::cut(const Photo& photo, QString& error)
{
    QImage image;
    if (!loadPhoto(photo, image, error))
        return false;
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
        // A test strip marks everyone in it for the count; a training strip
        // only its own person, and keeps the others out of its background.
        const StripPlan plan =
            photo.test ? planPersonStrip(photo.size, photo.people, i, options.stripWidth)
                       : planTrainingStrip(photo.size, photo.people, i, options.stripWidth, false);
        if (!plan.why.isEmpty()) {
            ++report.tooNarrow;
            continue;
        }
        if (!addStrip(photo, image, plan, error))
            return false;
        if (options.mirror && !photo.test &&
            !addStrip(photo, image,
                      planTrainingStrip(photo.size, photo.people, i, options.stripWidth, true),
                      error))
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
    if (!photo.test)
        personWindows.push_back(PersonWindow{number, plan.boxes[0], photo.name,
                                             photoPart(plan, plan.boxes[0]), plan.mirrored});
    return writeSource(photo.test, number, photo.name, shownPart(plan), plan.mirrored, 0, {},
                       error);
}

bool Job::writeSource(bool test, int strip, const QString& photo, const QRect& part, bool mirrored,
                      int column, const QByteArray& score, QString& error)
{
    const QByteArray line =
        (test ? "test," : "train,") + QByteArray::number(strip) + ',' + csvField(photo) + ',' +
        QByteArray::number(part.x()) + ',' + QByteArray::number(part.y()) + ',' +
        QByteArray::number(part.width()) + ',' + QByteArray::number(part.height()) + ',' +
        (mirrored ? "yes" : "no") + ',' + QByteArray::number(column) + ',' + score + '\n';
    if (sources.write(line) != line.size()) {
        error =
            QStringLiteral("cannot write %1: %2").arg(sources.fileName(), sources.errorString());
        return false;
    }
    return true;
}

bool Job::mine(const std::vector<Photo>& photos, const std::vector<double>& weights,
               const PrepareProgress& progress, QString& error)
{
    if (personWindows.empty()) {
        error = QStringLiteral("no training strip holds a person to set the false alarms beside");
        return false;
    }
    ScanSettings settings;
    settings.threshold = options.hardThreshold;
    PhotoScanner scanner(weights, settings);
    const double nms = kDefaultMaxOverlap;
    MiningCount count;
    const int total = static_cast<int>(
        std::count_if(photos.begin(), photos.end(), [](const Photo& p) { return !p.test; }));
    for (const Photo& photo : photos) {
        if (photo.test)
            continue;
        QImage image;
        if (!loadPhoto(photo, image, error))
            return false;
        std::vector<HardNegative> found;
        try {
            found = mineHardNegatives(scanner, settings, image, photo.people, nms, options.hardMax,
                                      count);
        } catch (const std::bad_alloc&) {
            error = QStringLiteral("not enough memory to search %1").arg(photo.path);
            return false;
        }
        for (const HardNegative& negative : found) {
            for (bool mirrored : {false, true}) {
                if (mirrored && !options.mirror)
                    continue;
                const QImage crop = cutHardCrop(image, negative.window, mirrored);
                if (crop.isNull()) {
                    error = QStringLiteral("not enough memory to cut a false alarm from %1")
                                .arg(photo.path);
                    return false;
                }
                crops.push_back(
                    HardCrop{crop, photo.name, negative.window, mirrored, negative.score});
                if (static_cast<int>(crops.size()) == kHardCropsPerStrip && !addHardStrip(error))
                    return false;
            }
        }
        ++report.minedPhotos;
        if (photo.people.empty())
            ++report.minedPhotosWithoutPeople;
        if (progress)
            progress(true, report.minedPhotos, total);
    }
    if (!crops.empty() && !addHardStrip(error))
        return false;
    report.windowsSearched = count.searched;
    report.falseAlarms = count.found;
    report.distinctFalseAlarms = count.distinct;
    report.falseAlarmsKept = count.kept;
    return true;
}

bool Job::addHardStrip(QString& error)
{
    // The people's windows take turns, so that no one person is repeated
    // much more than another.
    const PersonWindow& person = personWindows[report.hardStrips % personWindows.size()];
    const QString path =
        QDir(staging.filePath("train")).filePath(QStringLiteral("%1.png").arg(person.strip));
    QImage strip;
    QString why;
    if (!loadImage(path, strip, why)) {
        error = QStringLiteral("cannot read %1 again: %2").arg(path, why);
        return false;
    }
    std::vector<QImage> images;
    for (const HardCrop& crop : crops)
        images.push_back(crop.image);
    const QImage hard = composeHardStrip(
        strip.copy(person.box.Xmin, person.box.Ymin, kWindowWidth, kWindowHeight), images);
    if (hard.isNull()) {
        error = QStringLiteral("not enough memory for a hard strip");
        return false;
    }
    const int number = train.add(hard, {kHardStripBox}, error);
    if (number < 0 ||
        !writeSource(false, number, person.photo, person.part, person.mirrored, 0, {}, error))
        return false;
    for (int k = 0; k < static_cast<int>(crops.size()); ++k) {
        const HardCrop& c = crops[k];
        if (!writeSource(false, number, c.photo, c.window, c.mirrored, hardCropColumn(k),
                         QByteArray::number(c.score, 'g', 6), error))
            return false;
    }
    ++report.hardStrips;
    report.hardCrops += static_cast<int>(crops.size());
    crops.clear();
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
    report.trainStrips = train.strips() - report.hardStrips;
    report.trainBoxes = train.boxes() - report.hardStrips;
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
    // Photographs without people serve the test set, but with --mode train
    // only the search for false alarms.
    if (!options.emptyDir.isEmpty()) {
        const std::size_t first = photos.size();
        if (!listPhotosWithoutPeople(options.emptyDir, photos, error))
            return report;
        for (std::size_t i = first; i < photos.size(); ++i)
            photos[i].test = options.mode != PrepareMode::Train;
    }
    for (Photo& photo : photos)
        if (!checkPhoto(photo, error))
            return report;
    std::vector<double> weights;
    if (!options.hardModel.isEmpty()) {
        QString why;
        model* loaded = loadModelFile(options.hardModel, why);
        if (!loaded) {
            error = QStringLiteral("cannot load the model %1: %2").arg(options.hardModel, why);
            return report;
        }
        weights = objectWeights(*loaded);
        free_and_destroy_model(&loaded);
    }

    Job job(options, report, warning);
    if (!job.open(error))
        return report;
    const int total = static_cast<int>(photos.size());
    for (int i = 0; i < total; ++i) {
        if (!job.cut(photos[i], error))
            return report;
        if (photos[i].test)
            ++report.testPhotos;
        else if (photos[i].annotated)
            ++report.trainPhotos;
        if (progress)
            progress(false, i + 1, total);
    }
    if (!options.hardModel.isEmpty() && !job.mine(photos, weights, progress, error))
        return report;
    job.finish(error);
    return report;
}
