#include "SameFile.h"

#include <QFile>
#include <QString>

#include <filesystem>
#include <system_error>

namespace
{

std::filesystem::path fsPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

bool sameFile(const QString& a, const QString& b)
{
    std::error_code error;
    return std::filesystem::equivalent(fsPath(a), fsPath(b), error) && !error;
}

bool liesInside(const QString& path, const QString& dir)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path folder = fsPath(dir);
    if (!fs::is_directory(folder, error))
        return false;
    // With the existing part resolved, every ancestor is a real directory: a
    // link on the way leads where the file would really be written.
    const fs::path absolute = fs::absolute(fsPath(path), error);
    if (error)
        return false;
    const fs::path resolved = fs::weakly_canonical(absolute, error);
    if (error)
        return false;
    for (fs::path up = resolved.parent_path(); !up.empty(); up = up.parent_path()) {
        if (fs::equivalent(up, folder, error) && !error)
            return true;
        if (up == up.root_path())
            break;
    }
    return false;
}
