#include "EvaluationInput.h"

#include "BoxOutsidePhoto.h"
#include "Annotations.h"
#include "PhotoFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QSet>

namespace
{

// Names the photographs in dir as ombre-detect finds and names them, and
// closes the index: the photographs searched are these and no others.
bool listPhotos(const QString& dir, PhotoIndex& photos, QString& error)
{
    if (!QFileInfo(dir).isDir()) {
        error = QStringLiteral("%1: no such directory").arg(dir);
        return false;
    }
    const std::vector<PhotoFile> found = photosInFolder(dir);
    if (found.empty()) {
        error = QStringLiteral("%1: no PNG or JPEG photograph in the directory").arg(dir);
        return false;
    }
    for (const PhotoFile& photo : found)
        photos.id(photo.name);
    photos.close();
    return true;
}

// Refuses a right box that lies wholly outside its photograph: no detection
// could find that person. The size comes from the photograph's header; one
// that cannot be read is left unchecked, as ombre-detect warns of it.
bool checkBoxes(const QString& photosDir, const AnnotatedPhoto& a, QString& error)
{
    const QSize size = QImageReader(QDir(photosDir).filePath(a.name)).size();
    if (!size.isValid())
        return true;
    for (const PersonBox& b : a.people) {
        if (boxOutside(b, size) == BoxOutside::Whole) {
            error = boxLeavesPhotoError(b, a.name, size);
            return false;
        }
    }
    return true;
}

} // namespace

bool loadEvaluationInput(const EvaluateOptions& options, EvaluationInput& input, QString& error)
{
    if (!options.photosDir.isEmpty() && !listPhotos(options.photosDir, input.photos, error))
        return false;

    std::vector<AnnotatedPhoto> annotated;
    if (!readAnnotations(options.truthCsv, options.vocDir, annotated, error))
        return false;
    QSet<QString> leftOut;
    for (const AnnotatedPhoto& a : annotated) {
        const int id = input.photos.id(a.name);
        if (id < 0) {
            input.leftOutBoxes += static_cast<long long>(a.people.size());
            leftOut.insert(QDir::cleanPath(a.name));
            continue;
        }
        if (!options.photosDir.isEmpty() && !a.people.empty() &&
            !checkBoxes(options.photosDir, a, error))
            return false;
        input.truth.resize(input.photos.size());
        for (const PersonBox& b : a.people)
            input.truth[id].push_back(TruthBox{
                {double(b.xmin), double(b.ymin), double(b.xmax), double(b.ymax)}, b.difficult});
    }
    input.leftOutPhotos = static_cast<int>(leftOut.size());

    if (!readDetections(options.detections, input.photos, input.detections, error))
        return false;
    input.truth.resize(input.photos.size());
    return true;
}
