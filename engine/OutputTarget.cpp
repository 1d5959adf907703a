#include "OutputTarget.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// The kernel's own limit on the links it follows in one name.
constexpr int kMostLinks = 40;

// /dev/fd/N, /proc/self/fd/N and the like: the link of an open descriptor
// leads to whatever it is open on, often a pipe or a terminal, not a file.
bool isDescriptor(const QString& path)
{
    const int fd = path.lastIndexOf(QLatin1String("/fd/"));
    if (fd <= 0)
        return false;
    const QString dir = path.left(fd);
    bool number = false;
    path.mid(fd + 4).toUInt(&number);
    return number && (dir == QLatin1String("/dev") || (dir.startsWith(QLatin1String("/proc/")) &&
                                                       dir.count(QLatin1Char('/')) == 2));
}

// Why a file must not take the place of what is at path; empty when it may:
// nothing is there, or a regular file.
QString refusal(const QString& path)
{
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return {};
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("it is a directory");
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return QStringLiteral("it is a device, not a regular file");
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("it is a named pipe, not a regular file");
    if (S_ISSOCK(status.st_mode))
        return QStringLiteral("it is a socket, not a regular file");
    return QStringLiteral("its symbolic links go round in a loop");
}

} // namespace

QString symLinkEnd(const QString& path)
{
    QFileInfo at(path);
    for (int links = 0;
         links < kMostLinks && at.isSymLink() && !isDescriptor(at.absoluteFilePath()); ++links)
        at.setFile(at.symLinkTarget());
    return at.absoluteFilePath();
}

OutputTarget outputTarget(const QString& path)
{
    OutputTarget target;
    target.path = symLinkEnd(path);
    target.direct = isDescriptor(target.path) || target.path == QLatin1String("/dev/null");
    if (!target.direct)
        target.refusal = refusal(target.path);
    return target;
}

bool openDirect(QFile& file, const QString& path, QString& why)
{
    // Opened here: QFile would seek to the end of a pipe and complain.
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        why = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

bool writeOutput(const QString& path, const std::function<bool(QIODevice&)>& write, QString& why)
{
    const OutputTarget target = outputTarget(path);
    if (!target.refusal.isEmpty()) {
        why = target.refusal;
        return false;
    }
    const auto failed = [&why](const QFileDevice& file) {
        why = file.error() == QFileDevice::NoError ? QStringLiteral("it could not be written")
                                                   : file.errorString();
        return false;
    };
    if (target.direct) {
        QFile file;
        if (!openDirect(file, target.path, why))
            return false;
        if (!write(file) || !file.flush() || file.error() != QFileDevice::NoError)
            return failed(file);
        return true;
    }
    QSaveFile file(target.path);
    if (!file.open(QIODevice::WriteOnly) || !write(file) || !file.commit())
        return failed(file);
    return true;
}
