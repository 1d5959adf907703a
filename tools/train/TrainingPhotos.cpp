#include "TrainingPhotos.h"

#include "Annotations.h"
#include "PhotoFolder.h"

#include <QDir>
#include <QFileInfo>

#include <set>

bool listTrainingPhotos(const TrainOptions& options, std::vector<TrainingPhoto>& photos,
                        QString& error)
{
    std::vector<AnnotatedPhoto> annotated;
    if (!readAnnotations(options.csvFile, options.vocDir, annotated, error))
        return false;
    const QDir dir(options.photosDir);
    std::set<QString> known;
    for (AnnotatedPhoto& a : annotated) {
        const QString path = dir.filePath(a.name);
        known.insert(QFileInfo(path).canonicalFilePath());
        photos.push_back(TrainingPhoto{path, a.where, std::move(a.people)});
    }
    for (const QString& folder : options.emptyDirs) {
        const std::vector<PhotoFile> files = photosInFolder(folder);
        if (files.empty()) {
            error = QStringLiteral("--empty %1: no PNG or JPEG photographs there").arg(folder);
            return false;
        }
        for (const PhotoFile& file : files) {
            if (known.insert(QFileInfo(file.path).canonicalFilePath()).second)
                photos.push_back(TrainingPhoto{file.path, folder, {}});
        }
    }
    return true;
}
