#include "PhotoFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

std::vector<PhotoFile> photosInFolder(const QString& folder)
{
    // Absolute, so that the names come out relative to the folder however
    // the argument spells it.
    const QDir dir(QFileInfo(folder).absoluteFilePath());
    std::vector<PhotoFile> found;
    QDirIterator it(dir.path(), {"*.png", "*.jpg", "*.jpeg"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        found.push_back({path, dir.relativeFilePath(path)});
    }
    std::sort(found.begin(), found.end(),
              [](const PhotoFile& a, const PhotoFile& b) { return a.name < b.name; });
    return found;
}

std::vector<PhotoFile> listPhotos(const QStringList& arguments, QStringList& problems)
{
    // Among other arguments a directory's photographs carry its own name, so
    // that a/x.png and b/x.png stay apart; alone they do not, as the
    // annotations of ombre-prepare --photos name them.
    const bool withDirName = arguments.size() > 1;
    std::vector<PhotoFile> photos;
    for (const QString& argument : arguments) {
        const QFileInfo info(argument);
        if (!info.exists()) {
            problems << QStringLiteral("%1: no such file or directory").arg(argument);
            continue;
        }
        if (!info.isDir()) {
            photos.push_back({argument, argument});
            continue;
        }
        const QDir dir(info.absoluteFilePath());
        std::vector<PhotoFile> found = photosInFolder(argument);
        if (found.empty())
            problems
                << QStringLiteral("%1: no PNG or JPEG photograph in the directory").arg(argument);
        const QString prefix =
            withDirName && !dir.dirName().isEmpty() ? dir.dirName() + '/' : QString();
        for (PhotoFile& photo : found)
            photo.name.prepend(prefix);
        photos.insert(photos.end(), found.begin(), found.end());
    }
    return photos;
}

QString sharedName(const std::vector<PhotoFile>& photos)
{
    QHash<QString, const PhotoFile*> byName;
    for (const PhotoFile& photo : photos) {
        const PhotoFile* first = byName.value(photo.name);
        if (first == nullptr) {
            byName.insert(photo.name, &photo);
            continue;
        }
        if (QFileInfo(first->path).canonicalFilePath() != QFileInfo(photo.path).canonicalFilePath())
            return QStringLiteral("%1 and %2 would both be named %3 in the rows and drawings; "
                                  "give the directories different names")
                .arg(first->path, photo.path, photo.name);
    }
    return QString();
}
