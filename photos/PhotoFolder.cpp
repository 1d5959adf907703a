#include "PhotoFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>

std::vector<PhotoFile> listPhotos(const QStringList& arguments, QStringList& problems)
{
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
        // Absolute, so that the names come out relative to the directory
        // however the argument spells it.
        const QDir dir(info.absoluteFilePath());
        std::vector<PhotoFile> found;
        QDirIterator it(dir.path(), {"*.png", "*.jpg", "*.jpeg"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            found.push_back({path, dir.relativeFilePath(path)});
        }
        if (found.empty())
            problems
                << QStringLiteral("%1: no PNG or JPEG photograph in the directory").arg(argument);
        std::sort(found.begin(), found.end(),
                  [](const PhotoFile& a, const PhotoFile& b) { return a.name < b.name; });
        photos.insert(photos.end(), found.begin(), found.end());
    }
    return photos;
}
